#include "ui/win32/Fonts.h"

#include <stdexcept>

#include "ui/win32/AnsiText.h"

namespace ui::win32 {

namespace {

int CALLBACK NoteFound(const LOGFONTA* /*font*/, const TEXTMETRICA* /*metrics*/, DWORD /*type*/,
                       LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;  // one is enough
}

bool HasFace(HDC dc, const std::string& face) {
    LOGFONTA wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    if (face.size() >= sizeof wanted.lfFaceName) {
        return false;
    }
    face.copy(wanted.lfFaceName, face.size());
    bool found = false;
    ::EnumFontFamiliesExA(dc, &wanted, &NoteFound, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

}  // namespace

std::string InstalledFace(std::span<const std::string_view> faces) {
    if (faces.empty()) {
        return {};
    }
    const HDC screen = ::GetDC(nullptr);
    std::string chosen = ToAnsi(faces.front());
    for (const std::string_view face : faces) {
        if (HasFace(screen, ToAnsi(face))) {
            chosen = ToAnsi(face);
            break;
        }
    }
    ::ReleaseDC(nullptr, screen);
    return chosen;
}

FontSet::~FontSet() {
    for (const auto& [key, font] : fonts_) {
        ::DeleteObject(font);
    }
}

HFONT FontSet::Get(const forms::FontSpec& spec) {
    Key key{InstalledFace(spec.faces),     spec.pixelHeight, spec.bold, spec.italic, spec.underline,
            static_cast<int>(spec.charset)};
    if (const auto found = fonts_.find(key); found != fonts_.end()) {
        return found->second;
    }
    const std::string& face = std::get<0>(key);
    // A negative height asks for the character's height rather than the cell's.
    const HFONT font =
        ::CreateFontA(-spec.pixelHeight, 0, 0, 0, spec.bold ? FW_BOLD : FW_NORMAL, spec.italic,
                      spec.underline, FALSE, static_cast<DWORD>(spec.charset), OUT_DEFAULT_PRECIS,
                      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, face.c_str());
    if (font == nullptr) {
        throw std::runtime_error("cannot make the font " + face);
    }
    fonts_.emplace(std::move(key), font);
    return font;
}

}  // namespace ui::win32
