// A running dialog as a page element: laid out from its template in the page's own font, the
// player's actions handed to the core's dialog manager, the program's changes shown.
#include <string>

#include "../core/dialog_internal.h"
#include "page.h"
#include "page_backend.h"

namespace platform::web {
namespace {

constexpr DWORD kSsNoPrefix = 0x0080;
constexpr DWORD kEsAlignMask = 0x0003;  // ES_LEFT, ES_CENTER, ES_RIGHT
constexpr int kSystemIcon = 32;         // a static icon shows at the system icon size

const char* KindName(ControlKind kind) {
    switch (kind) {
        case ControlKind::PushButton: return "push";
        case ControlKind::DefPushButton: return "default";
        case ControlKind::AutoRadioButton: return "radio";
        case ControlKind::GroupBox: return "group";
        case ControlKind::Text: return "text";
        case ControlKind::Icon: return "icon";
        case ControlKind::EtchedFrame: return "frame";
        case ControlKind::Edit: return "edit";
        default: return "other";
    }
}

const char* Alignment(const DialogControlRecord& c) {
    const DWORD style = c.source->style;
    if (c.kind == ControlKind::Edit)
        return (style & kEsAlignMask) == 1 ? "center" : (style & kEsAlignMask) == 2 ? "right" : "left";
    return (style & 0x1F) == SS_CENTER ? "center" : (style & 0x1F) == SS_RIGHT ? "right" : "left";
}

std::string Number(const char* name, long value) {
    return std::string("\"") + name + "\":" + std::to_string(value);
}

class PageDialog final : public DialogView {
public:
    explicit PageDialog(HWND dialog) : dialog_(dialog), record_(DialogOf(dialog)) {}

    void Open() {
        const rc::DialogTemplate& source = *record_->source;
        std::string font = source.fontName ? Cp932ToUtf8(Utf16ToCp932(source.fontName)) : std::string();
        const int points = source.pointSize ? source.pointSize : 9;
        int metrics[2] = {0, 0};
        zum_font_metrics(font.c_str(), points, metrics);
        const SIZE base = DialogBaseUnits(metrics[0], metrics[1]);
        const RECT client = DialogUnitsToPixels(source.x, source.y, source.cx, source.cy, base);

        const void* icon = nullptr;
        int iconSize = 0;
        std::string controls;
        for (HWND control : record_->controls) {
            const DialogControlRecord& c = *ControlOf(control);
            RECT at = DialogUnitsToPixels(c.source->x, c.source->y, c.source->cx, c.source->cy, base);
            if (c.kind == ControlKind::Icon) {
                const rc::Entry* e = FindEntry(control->text.c_str(), RT_ICON);
                if (e && e->bytes && !icon) {
                    icon = e->bytes;
                    iconSize = static_cast<int>(e->size);
                }
                at.right = at.bottom = kSystemIcon;
            }
            if (!controls.empty()) controls += ',';
            controls += std::string("{\"kind\":\"") + KindName(c.kind) + "\",\"align\":\"" +
                        Alignment(c) + "\"," + Number("x", at.left) + ',' + Number("y", at.top) +
                        ',' + Number("width", at.right) + ',' + Number("height", at.bottom) +
                        ",\"text\":" + JsonString(Cp932ToUtf8(control->text)) +
                        ",\"checked\":" + (c.checked ? "true" : "false") +
                        ",\"disabled\":" + ((control->style & WS_DISABLED) ? "true" : "false") +
                        ",\"visible\":" + ((control->style & WS_VISIBLE) ? "true" : "false") +
                        ",\"border\":" + ((control->style & WS_BORDER) ? "true" : "false") +
                        ",\"prefix\":" + ((c.source->style & kSsNoPrefix) ? "false" : "true") + "}";
        }
        const std::string layout =
            "{\"caption\":" + JsonString(Cp932ToUtf8(dialog_->text)) + ",\"font\":" +
            JsonString(font) + ',' + Number("points", points) + ',' +
            Number("lineHeight", base.cy) + ',' + Number("x", client.left) + ',' +
            Number("y", client.top) + ',' + Number("width", client.right) + ',' +
            Number("height", client.bottom) + ",\"controls\":[" + controls + "]}";
        zum_dialog_open(PageId(dialog_), layout.c_str(), icon, iconSize);
        if (record_->focus) FocusChanged(record_->focus);
    }

    void Close() { zum_dialog_close(PageId(dialog_)); }

    void TextChanged(HWND window) override {
        const int index = window == dialog_ ? -1 : IndexOf(window);
        if (window == dialog_ || index >= 0)
            zum_dialog_text(PageId(dialog_), index, Cp932ToUtf8(window->text).c_str());
    }
    void CheckChanged(HWND control) override {
        if (int index = IndexOf(control); index >= 0)
            zum_dialog_check(PageId(dialog_), index, ControlOf(control)->checked);
    }
    void FocusChanged(HWND control) override {
        if (int index = IndexOf(control); index >= 0) zum_dialog_focus(PageId(dialog_), index);
    }
    void Ended(INT_PTR) override {}

private:
    int IndexOf(HWND control) const {
        for (std::size_t i = 0; i < record_->controls.size(); ++i)
            if (record_->controls[i] == control) return static_cast<int>(i);
        return -1;
    }

    HWND dialog_;
    DialogRecord* record_;
};

// What the edit takes of the player's text: each character in turn while the text still has a
// CP932 form within the limit; a character without one is refused, as a cut would be mid-way.
std::string Accepted(const std::string& utf8, std::size_t limit) {
    std::string kept;
    for (std::size_t i = 0; i < utf8.size();) {
        const unsigned char lead = static_cast<unsigned char>(utf8[i]);
        std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        const std::string candidate = kept + utf8.substr(i, length);
        bool lossless = true;
        if (Utf8ToCp932(candidate, &lossless).size() <= limit && lossless) kept = candidate;
        i += length;
    }
    return kept;
}

}  // namespace

INT_PTR RunPageDialog(HWND dialog, Backend& backend) {
    DialogRecord* record = DialogOf(dialog);
    if (!record) return -1;
    const std::shared_ptr<void> keep = dialog->extra;  // the record outlives any change of extra
    PageDialog view(dialog);
    record->view = &view;
    view.Open();
    // The owner's timers, paints and posted messages go on under the dialog.
    while (!record->ended) {
        DispatchQueued(record->owner);
        if (!record->ended) backend.WaitForEvents();
    }
    record->view = nullptr;
    view.Close();
    return record->result;
}

void ApplyDialogAction(HWND dialog, int action, int index, const std::string& text) {
    DialogRecord* record = DialogOf(dialog);
    if (!record) return;
    HWND control = index >= 0 && static_cast<std::size_t>(index) < record->controls.size()
                       ? record->controls[index]
                       : nullptr;
    switch (action) {
        case kClick:
            if (control) ClickDialogButton(dialog, control->id);
            break;
        case kReturn: DialogDefaultButton(dialog); break;
        case kEscape: DialogCancel(dialog); break;
        case kTab:
        case kBackTab: DialogTabKey(dialog, action == kTab); break;
        case kArrowForward:
        case kArrowBack: DialogArrowKey(dialog, action == kArrowForward); break;
        case kFocus:
            if (control) DialogFocusMoved(control);
            break;
        case kEditChanged:
            if (const DialogControlRecord* c = ControlOf(control); c && c->kind == ControlKind::Edit) {
                const std::string kept = Accepted(text, c->limit);
                DialogEditChanged(control, Utf8ToCp932(kept));
                if (kept != text) zum_dialog_text(PageId(dialog), index, kept.c_str());
            }
            break;
        default:
            break;
    }
}

}  // namespace platform::web
