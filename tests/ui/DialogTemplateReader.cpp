#include "DialogTemplateReader.h"

namespace {

class Cursor {
public:
    Cursor(const unsigned char* bytes, size_t size) : bytes_(bytes), size_(size) {}
    bool ok() const { return ok_; }
    uint16_t Word() {
        if (at_ + 2 > size_) {
            ok_ = false;
            return 0;
        }
        uint16_t v = static_cast<uint16_t>(bytes_[at_] | bytes_[at_ + 1] << 8);
        at_ += 2;
        return v;
    }
    uint32_t Dword() {
        uint32_t low = Word();
        return low | static_cast<uint32_t>(Word()) << 16;
    }
    int16_t Short() { return static_cast<int16_t>(Word()); }
    std::string Text() {
        std::string s;
        for (uint16_t c = Word(); ok_ && c != 0; c = Word()) {
            s += static_cast<char>(c & 0xFF);
        }
        return s;
    }
    TemplateId Id() {
        TemplateId id;
        uint16_t first = Word();
        if (first == 0xFFFF) {
            id.ordinal = Word();
        } else if (first != 0) {
            id.text += static_cast<char>(first & 0xFF);
            id.text += Text();
        }
        return id;
    }
    void AlignDword() { at_ = (at_ + 3) & ~static_cast<size_t>(3); }
    void Skip(size_t n) {
        if (at_ + n > size_) {
            ok_ = false;
        }
        at_ += n;
    }

private:
    const unsigned char* bytes_;
    size_t size_;
    size_t at_ = 0;
    bool ok_ = true;
};

constexpr uint32_t kDsSetFont = 0x40;

}  // namespace

bool ReadDialogTemplate(const unsigned char* bytes, size_t size, DialogTemplate* out) {
    Cursor c(bytes, size);
    DialogTemplate& t = *out;
    t = DialogTemplate();
    int count = 0;
    if (size >= 4 && bytes[0] == 1 && bytes[1] == 0 && bytes[2] == 0xFF && bytes[3] == 0xFF) {
        t.extended = true;
        c.Dword();  // version and signature
        c.Dword();  // help id
        t.exStyle = c.Dword();
        t.style = c.Dword();
    } else {
        t.style = c.Dword();
        t.exStyle = c.Dword();
    }
    count = c.Word();
    t.x = c.Short();
    t.y = c.Short();
    t.cx = c.Short();
    t.cy = c.Short();
    c.Id();  // menu
    c.Id();  // class
    t.caption = c.Text();
    if (t.style & kDsSetFont) {
        t.pointSize = c.Word();
        if (t.extended) {
            c.Word();  // weight
            c.Word();  // italic, character set
        }
        t.font = c.Text();
    }
    for (int i = 0; i < count && c.ok(); ++i) {
        c.AlignDword();
        TemplateControl control;
        if (t.extended) {
            c.Dword();  // help id
            control.exStyle = c.Dword();
            control.style = c.Dword();
        } else {
            control.style = c.Dword();
            control.exStyle = c.Dword();
        }
        control.x = c.Short();
        control.y = c.Short();
        control.cx = c.Short();
        control.cy = c.Short();
        control.id = t.extended ? static_cast<int32_t>(c.Dword()) : c.Short();
        control.windowClass = c.Id();
        control.text = c.Id();
        c.Skip(c.Word());  // creation data
        t.controls.push_back(control);
    }
    return c.ok();
}
