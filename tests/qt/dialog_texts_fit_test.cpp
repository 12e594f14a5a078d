// Each dialog's texts fit their controls on one line, in Japanese and in English, measured in the
// template's own font as the dialogs map it: what a control shows is never clipped or wrapped.
#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QStyle>

#include <string>
#include <vector>

#include "platform/core/internal.h"
#include "platform/qt/qt_dialogs.h"
#include "qt_test_app.h"
#include "resource.h"

namespace {

constexpr LANGID kLanguages[] = {0x0411, 0x0409};

// The string of that id in the language, UTF-16, or empty.
QString String(int id, LANGID language) {
    const rc::Entry* e = platform::FindEntryIn(MAKEINTRESOURCEA(id / 16 + 1), RT_STRING, language);
    const char16_t* text = e ? static_cast<const rc::StringBlock*>(e->structured)->texts[id % 16] : nullptr;
    return text ? QString::fromUtf16(text) : QString();
}

// The room that a control leaves its text, in pixels: a radio button's mark and a push button's
// or group box's edges take their share.
qreal Room(const rc::DialogControl& c, const QRect& pixels) {
    const std::uint32_t type = c.style & 0xF;
    QStyle* style = qt_test::App().style();
    if (std::u16string(c.className) == u"BUTTON") {
        if (type == 0x9)
            return pixels.width() - style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) -
                   style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing);
        if (type == 0x7) return pixels.width() - 16;
        return pixels.width() - 2 * style->pixelMetric(QStyle::PM_ButtonMargin);
    }
    return pixels.width();
}

TEST(DialogTextsFit, EveryControlTextFitsItsRectangleInBothLanguages) {
    qt_test::App();
    platform::qt::AddDialogFontSubstitutions();
    for (LANGID language : kLanguages) {
        // The texts that the game puts into the level's static at run time.
        std::vector<QString> levels;
        for (int level = 1; level <= 3; ++level) levels.push_back(String(IDS_LEVEL_NAME + level, language));
        for (const char* name : {"DLG_ENTRY", "DLG_SCORE", "DLG_PROPATY", "DLG_ABOUT"}) {
            const rc::Entry* e = platform::FindEntryIn(name, RT_DIALOG, language);
            ASSERT_NE(e, nullptr) << name << " " << language;
            const auto& t = *static_cast<const rc::DialogTemplate*>(e->structured);
            const QFont font = platform::qt::DialogFont(t);
            const QFontMetricsF metrics(font);
            const QSize base = platform::qt::DialogBaseUnits(font);
            for (int i = 0; i < t.controlCount; ++i) {
                const rc::DialogControl& c = t.controls[i];
                const std::u16string cls = c.className;
                if ((cls != u"BUTTON" && cls != u"STATIC") || (c.style & 0xF) == 0x3 || !*c.text) continue;
                // The names and times are the program's: the platform condenses them to fit.
                if ((c.id >= IDC_SCORE_TIME1 && c.id <= IDC_SCORE_NAME5) ||
                    (c.id >= IDC_PROP_TIME1 && c.id <= IDC_PROP_NAME3))
                    continue;
                const QRect pixels = platform::qt::DialogUnitsToPixels(c.x, c.y, c.cx, c.cy, base);
                std::vector<QString> shown{QString::fromUtf16(c.text).remove(QLatin1Char('&'))};
                if (c.id == IDC_ENTRY_LEVEL) shown = levels;
                for (const QString& text : shown) {
                    // The ink must stay inside: the last glyph's blank side may run over.
                    EXPECT_LE(metrics.tightBoundingRect(text).right(), Room(c, pixels))
                        << name << " " << std::hex << language << std::dec << " control " << i << " \""
                        << text.toStdString() << "\" in " << pixels.width() << " px";
                }
                EXPECT_GE(pixels.height(), metrics.height() - 1) << name << " control " << i;
            }
        }
    }
}

}  // namespace
