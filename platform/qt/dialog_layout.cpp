// Dialog units to pixels, as Windows measures a dialog's font: base units and MulDiv rounding.
#include <QApplication>
#include <QFontMetrics>

#include "qt_dialogs.h"

namespace platform::qt {
namespace {

// MulDiv: the product over the divisor, rounded half away from zero.
int MulDiv(int number, int numerator, int denominator) {
    long long product = static_cast<long long>(number) * numerator;
    long long half = denominator / 2;
    return static_cast<int>((product >= 0 ? product + half : product - half) / denominator);
}

}  // namespace

void AddDialogFontSubstitutions() {
    struct Mapping {
        const char16_t* windows;
        const char16_t* ours;
    };
    static const Mapping mappings[] = {
        {u"ＭＳ Ｐゴシック", u"IPAPGothic"},
        {u"MS PGothic", u"IPAPGothic"},
        {u"ＭＳ ゴシック", u"IPAGothic"},
        {u"MS Gothic", u"IPAGothic"},
    };
    for (const Mapping& m : mappings) {
        QString windows = QString::fromUtf16(m.windows), ours = QString::fromUtf16(m.ours);
        if (!QFont::substitutes(windows).contains(ours)) QFont::insertSubstitutions(windows, {ours});
    }
}

QFont DialogFont(const rc::DialogTemplate& source) {
    if (!(source.style & DS_SETFONT) || !source.fontName || source.pointSize == 0)
        return QApplication::font();
    QFont font(QString::fromUtf16(source.fontName));
    font.setPointSize(source.pointSize);
    font.setStyleStrategy(QFont::PreferMatch);
    return font;
}

QSize DialogBaseUnits(const QFont& font) {
    QFontMetrics metrics(font);
    int total = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return QSize((total / 26 + 1) / 2, metrics.height());
}

QRect DialogUnitsToPixels(int x, int y, int cx, int cy, QSize base) {
    // Each of the four numbers is converted on its own, so a right edge may round apart from x+cx.
    return QRect(MulDiv(x, base.width(), 4), MulDiv(y, base.height(), 8),
                 MulDiv(cx, base.width(), 4), MulDiv(cy, base.height(), 8));
}

}  // namespace platform::qt
