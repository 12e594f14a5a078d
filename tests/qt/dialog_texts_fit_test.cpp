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
    for (LANGID language : {0x0411, 0x0409}) {
        for (const char* name : {"DLG_ENTRY", "DLG_SCORE", "DLG_PROPATY", "DLG_ABOUT"}) {
            const rc::Entry* e = platform::FindEntryIn(name, RT_DIALOG, language);
            ASSERT_NE(e, nullptr) << name << " " << language;
            const auto& t = *static_cast<const rc::DialogTemplate*>(e->structured);
            const QFontMetricsF metrics(platform::qt::DialogFont(t));
            const QSize base = platform::qt::DialogBaseUnits(platform::qt::DialogFont(t));
            for (int i = 0; i < t.controlCount; ++i) {
                const rc::DialogControl& c = t.controls[i];
                const std::u16string cls = c.className;
                const bool program = (c.id >= IDC_SCORE_TIME1 && c.id <= IDC_SCORE_NAME5) ||
                                     (c.id >= IDC_PROP_TIME1 && c.id <= IDC_PROP_NAME3);
                if ((cls != u"BUTTON" && cls != u"STATIC") || (c.style & 0xF) == 0x3 || program)
                    continue;
                const QRect r = platform::qt::DialogUnitsToPixels(c.x, c.y, c.cx, c.cy, base);
                // A radio button's mark and a button's or group box's edges take their share.
                const int type = c.style & 0xF;
                const int mark = style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) +
                                 style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing);
                const int room = cls == u"STATIC" ? r.width()
                                 : type == 0x9    ? r.width() - mark
                                 : type == 0x7    ? r.width() - 16
                                 : r.width() - 2 * style->pixelMetric(QStyle::PM_ButtonMargin);
                QStringList shown{QString::fromUtf16(c.text).remove(u'&')};
                if (c.id == IDC_ENTRY_LEVEL) {  // the level's name goes there at run time
                    shown.clear();
                    for (int level = 1; level <= 3; ++level) {
                        char text[64];
                        setenv("LANGUAGE", language == 0x0411 ? "ja" : "en", 1);
                        LoadStringA(nullptr, IDS_LEVEL_NAME + level, text, sizeof text);
                        shown << QString::fromStdString(platform::Cp932ToUtf8(text));
                    }
                    setenv("LANGUAGE", "ja", 1);
                }
                // Its ink: the last glyph's blank side may run over.
                for (const QString& text : shown)
                    EXPECT_LE(metrics.tightBoundingRect(text).right(), room)
                        << name << " " << language << " \"" << text.toStdString() << "\"";
                EXPECT_GE(r.height(), metrics.height() - 1) << name << " " << c.id;
            }
        }
    }
}
