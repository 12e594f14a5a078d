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
    auto metric = [](QStyle::PixelMetric m) { return qt_test::App().style()->pixelMetric(m); };
    // What a radio button's mark, a group box's and a push button's edges take of the width.
    const int radio = metric(QStyle::PM_ExclusiveIndicatorWidth) +
                      metric(QStyle::PM_RadioButtonLabelSpacing),
              group = 16, push = 2 * metric(QStyle::PM_ButtonMargin);
    platform::qt::AddDialogFontSubstitutions();
    for (const char* language : {"ja", "en"}) {
        setenv("LANGUAGE", language, 1);
        SCOPED_TRACE(language);
        for (const char* name : {"DLG_ENTRY", "DLG_SCORE", "DLG_PROPATY", "DLG_ABOUT"}) {
            const auto& t = *static_cast<const rc::DialogTemplate*>(
                platform::FindEntry(name, RT_DIALOG)->structured);
            const QFontMetricsF metrics(platform::qt::DialogFont(t));
            const QSize base = platform::qt::DialogBaseUnits(platform::qt::DialogFont(t));
            for (int i = 0; i < t.controlCount; ++i) {
                const rc::DialogControl& c = t.controls[i];
                const int type = c.style & 0xF, id = c.id;
                const bool program = id == IDC_ENTRY_NAME ||
                                     (id >= IDC_SCORE_TIME1 && id <= IDC_SCORE_NAME5) ||
                                     (id >= IDC_PROP_TIME1 && id <= IDC_PROP_NAME3);
                if (program || type == 0x3) continue;
                const QRect r = platform::qt::DialogUnitsToPixels(c.x, c.y, c.cx, c.cy, base);
                const int room = r.width() - (std::u16string(c.className) != u"BUTTON" ? 0
                                              : type == 0x9 ? radio : type == 0x7 ? group : push);
                // Its ink: a last glyph's blank side may run over.
                const QString text = QString::fromUtf16(c.text).remove(u'&');
                EXPECT_LE(metrics.tightBoundingRect(text).right(), room) << name << id;
            }
        }
    }
    setenv("LANGUAGE", "ja", 1);
}
