// Dialog units to pixels, as Windows measures a dialog's font: base units and MulDiv rounding.
#include <QApplication>
#include <QFontMetrics>

#include "../core/dialog_internal.h"
#include "qt_dialogs.h"

namespace platform::qt {

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
        // The English templates' font: a sans serif of Debian's that has every Latin letter.
        {u"MS Shell Dlg", u"DejaVu Sans"},
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
    const SIZE base = platform::DialogBaseUnits(total, metrics.height());
    return QSize(base.cx, base.cy);
}

QRect DialogUnitsToPixels(int x, int y, int cx, int cy, QSize base) {
    const RECT r = platform::DialogUnitsToPixels(x, y, cx, cy, SIZE{base.width(), base.height()});
    return QRect(r.left, r.top, r.right, r.bottom);
}

}  // namespace platform::qt
