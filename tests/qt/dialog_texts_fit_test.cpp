// Each dialog text fits its control on one line, Japanese and English, in the template's font as
// the dialogs map it; the names and times are the program's, condensed to fit by the platform.
#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QStyle>

#include "platform/core/internal.h"
#include "platform/qt/qt_dialogs.h"
#include "qt_test_app.h"
#include "resource.h"

TEST(DialogTextsFit, EveryControlTextFitsItsRectangleInBothLanguages) {
    QStyle* style = qt_test::App().style();
    platform::qt::AddDialogFontSubstitutions();
    for (const char* language : {"ja", "en"}) {
        setenv("LANGUAGE", language, 1);
        for (const char* name : {"DLG_ENTRY", "DLG_SCORE", "DLG_PROPATY", "DLG_ABOUT"}) {
            const auto& t = *static_cast<const rc::DialogTemplate*>(
                platform::FindEntry(name, RT_DIALOG)->structured);
            const QFontMetricsF metrics(platform::qt::DialogFont(t));
            const QSize base = platform::qt::DialogBaseUnits(platform::qt::DialogFont(t));
            for (int i = 0; i < t.controlCount; ++i) {
                const rc::DialogControl& c = t.controls[i];
                const std::u16string cls = c.className;
                const int type = c.style & 0xF;
                if ((cls != u"BUTTON" && cls != u"STATIC") || type == 0x3 ||
                    (c.id >= IDC_SCORE_TIME1 && c.id <= IDC_SCORE_NAME5) ||
                    (c.id >= IDC_PROP_TIME1 && c.id <= IDC_PROP_NAME3))
                    continue;
                const QRect r = platform::qt::DialogUnitsToPixels(c.x, c.y, c.cx, c.cy, base);
                // A radio button's mark and a button's or group box's edges take their share.
                auto metric = [style](QStyle::PixelMetric m) { return style->pixelMetric(m); };
                int room = r.width();
                if (cls == u"BUTTON" && type == 0x9)
                    room -= metric(QStyle::PM_ExclusiveIndicatorWidth) +
                            metric(QStyle::PM_RadioButtonLabelSpacing);
                else if (cls == u"BUTTON")
                    room -= type == 0x7 ? 16 : 2 * metric(QStyle::PM_ButtonMargin);
                QStringList shown{QString::fromUtf16(c.text).remove(u'&')};
                char level[64];  // the level's name goes into IDC_ENTRY_LEVEL at run time
                for (int k = 1; c.id == IDC_ENTRY_LEVEL && k <= 3; ++k) {
                    LoadStringA(nullptr, IDS_LEVEL_NAME + k, level, sizeof level);
                    shown << QString::fromStdString(platform::Cp932ToUtf8(level));
                }
                // Its ink: a last glyph's blank side may run over.
                for (const QString& text : shown)
                    EXPECT_LE(metrics.tightBoundingRect(text).right(), room)
                        << name << " " << language << " \"" << text.toStdString() << "\"";
                EXPECT_GE(r.height(), metrics.height() - 1) << name << " " << c.id;
            }
        }
    }
    setenv("LANGUAGE", "ja", 1);
}
