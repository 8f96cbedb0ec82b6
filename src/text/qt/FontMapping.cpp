#include "text/qt/FontMapping.h"

#include "platform/CodePage.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <cctype>
#include <map>
#include <mutex>

namespace morvell {

namespace {

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// Wingdings itself is hardly ever installed; its bullet is drawn in a text face.
constexpr const char* kWingdingsStandIn = "Liberation Sans";

} // namespace

QString FontMapping::Family(std::string_view faceName) {
    struct Alias {
        std::string_view face;
        const char* family;
    };
    static constexpr Alias kAliases[] = {
        {"Arial", "Liberation Sans"},
        {"Times New Roman", "Liberation Serif"},
        {"Courier New", "Liberation Mono"},
    };
    for (const Alias& a : kAliases)
        if (EqualsIgnoringCase(faceName, a.face)) return QString::fromLatin1(a.family);
    if (IsWingdings(faceName)) return QString::fromLatin1(kWingdingsStandIn);
    // Face names are short ASCII in practice; Latin-1 keeps any other byte as one character.
    return QString::fromLatin1(faceName.data(), static_cast<qsizetype>(faceName.size()));
}

bool FontMapping::IsWingdings(std::string_view faceName) { return EqualsIgnoringCase(faceName, "Wingdings"); }

int FontMapping::PointsToPixels(int points, int dotsPerInch) {
    const long long scaled = static_cast<long long>(points) * dotsPerInch;
    const long long pixels = (scaled + 36) / 72;
    return static_cast<int>(std::clamp<long long>(pixels, 1, 10000));
}

int FontMapping::ScreenDotsPerInch() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            const int dpi = qRound(screen->logicalDotsPerInch());
            if (dpi > 0) return dpi;
        }
    }
    return 96;
}

QFont FontMapping::ToQFont(const FontSpec& fontSpec, int dotsPerInch) {
    QFont font(Family(fontSpec.name));
    font.setPixelSize(PointsToPixels(std::max(fontSpec.size, 1), dotsPerInch));
    font.setWeight((fontSpec.style & kFontBold) ? QFont::Bold : QFont::Normal);
    font.setItalic(fontSpec.style & kFontItalic);
    font.setUnderline(fontSpec.style & kFontUnderline);
    font.setStrikeOut(fontSpec.style & kFontStrikeOut);
    // Full hinting gives whole-pixel glyph advances, so the width of a run is the sum of the
    // widths of its characters, as the layout measures them one pair at a time.
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

const ByteTable& FontMapping::Table(std::string_view charSet) {
    static std::mutex mutex;
    static std::map<std::string, std::unique_ptr<ByteTable>, std::less<>> tables;
    std::lock_guard lock(mutex);
    if (auto it = tables.find(charSet); it != tables.end()) return *it->second;
    auto table = std::make_unique<ByteTable>();
    for (int b = 0; b < 256; ++b) {
        const char byte = static_cast<char>(b);
        const QString s = QString::fromStdString(CodePage::ToUtf8(std::string_view(&byte, 1), charSet));
        (*table)[b] = s.isEmpty() ? char16_t(0xFFFD) : s.at(0).unicode();
    }
    return *tables.emplace(std::string(charSet), std::move(table)).first->second;
}

QString FontMapping::Decode(std::string_view bytes, const ByteTable& table, bool wingdings) {
    QString out(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* d = out.data();
    for (std::size_t i = 0; i < bytes.size(); ++i)
        d[i] = QChar(DecodeByte(static_cast<unsigned char>(bytes[i]), table, wingdings));
    return out;
}

} // namespace morvell
