#include "document/TOVKset.h"

#include "document/DocumentTexts.h"
#include "document/TOVKsetTexts.h"
#include "objects/TOVKoggetto.h"
#include "platform/Files.h"
#include "platform/Messages.h"
#include "shell/Options.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <random>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace morvell {

namespace {

constexpr std::int32_t kMaxIndex = 0xFFFFFF;
// Records are read in pieces of about this size: large enough that a section takes a handful
// of reads, small enough that the transient buffer never matters next to the objects.
constexpr std::int64_t kRecordChunkBytes = 4 << 20;
// Read-ahead window for the data blocks copied while the objects load.
constexpr std::int64_t kWindowBytes = 1 << 20;
// Bytes of the file the header reader may look at: header, 27 table entries, record-area length.
constexpr std::int64_t kHeaderPrefix = OVKHeader::kSize + 12 * kKindCount + 4;

std::atomic<std::uint32_t> g_instances{0};
bool g_programClosing = false;

TOVKset::FolderChooser& Chooser() {
    static TOVKset::FolderChooser chooser;
    return chooser;
}

std::function<int()>& ScreenPpi() {
    static std::function<int()> ppi;
    return ppi;
}

void Fire(const std::function<void()>& event) {
    if (event) event();
}

// Reads exactly `length` bytes at `position`; false on a short read or an error.
bool PRead(int fd, std::int64_t position, char* into, std::int64_t length) {
    while (length > 0) {
        ssize_t n = ::pread(fd, into, static_cast<std::size_t>(length), static_cast<off_t>(position));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        into += n;
        position += n;
        length -= n;
    }
    return true;
}

std::string LoggedInUser() {
    struct passwd pw {};
    struct passwd* found = nullptr;
    char buffer[4096];
    if (::getpwuid_r(::getuid(), &pw, buffer, sizeof buffer, &found) == 0 && found && found->pw_name)
        return found->pw_name;
    for (const char* var : {"USER", "LOGNAME"})
        if (const char* v = std::getenv(var); v && *v) return v;
    return {};
}

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

bool PathExists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

bool IsOwnFolder(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid();
}

std::uint32_t RandomBelow(std::uint32_t bound) {
    static thread_local std::mt19937 engine{std::random_device{}()};
    return std::uniform_int_distribution<std::uint32_t>(0, bound - 1)(engine);
}

} // namespace

// --- process-wide seams ----------------------------------------------------------------------

void TOVKset::SetFolderChooser(FolderChooser chooser) { Chooser() = std::move(chooser); }
void TOVKset::SetScreenPixelsPerInch(std::function<int()> ppi) { ScreenPpi() = std::move(ppi); }
void TOVKset::SetProgramClosing(bool closing) { g_programClosing = closing; }
bool TOVKset::ProgramClosing() { return g_programClosing; }

int TOVKset::LocaleCodePage() {
    std::string locale;
    for (const char* var : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        if (const char* v = std::getenv(var); v && *v) {
            locale = v;
            break;
        }
    }
    std::string lang = Lower(locale.substr(0, locale.find_first_of("_.@-")));
    static const struct {
        const char* lang;
        int codePage;
    } kTable[] = {
        {"cs", 1250}, {"pl", 1250}, {"hu", 1250}, {"sk", 1250}, {"sl", 1250}, {"hr", 1250}, {"ro", 1250},
        {"bs", 1250}, {"sq", 1250}, {"ru", 1251}, {"uk", 1251}, {"bg", 1251}, {"sr", 1251}, {"be", 1251},
        {"mk", 1251}, {"el", 1253}, {"tr", 1254}, {"az", 1254}, {"he", 1255}, {"iw", 1255}, {"ar", 1256},
        {"fa", 1256}, {"ur", 1256}, {"et", 1257}, {"lv", 1257}, {"lt", 1257}, {"vi", 1258},
    };
    for (const auto& row : kTable)
        if (lang == row.lang) return row.codePage;
    return 1252;
}

// --- life cycle --------------------------------------------------------------------------------

TOVKset::TOVKset() : m_instance(++g_instances) { New(); }

TOVKset::~TOVKset() {
    // No events from a document that is going away.
    OnBeforeNew = nullptr;
    OnAfterNew = nullptr;
    Close();
    if (!m_tempFolder.empty()) DeleteTree(m_tempFolder); // with "tmpa" and all; errors ignored
}

void TOVKset::ForgetCachedProperties() {
    m_charSet.reset();
    m_fontCharSet = 255;
    m_globalMargin = -1;
    m_globalMarginRead = false;
    m_expPrefix.clear();
}

void TOVKset::Close() {
    ForgetCachedProperties();
    m_deleteOnClose = false;
    // Only an ebook that opened completely may ask to be deleted: a file that failed half-way
    // is the user's to inspect, whatever its half-read property list says.
    TOVKoggetto* props = m_loadedWhole ? FindPropertyList() : nullptr;
    m_loadedWhole = false;
    if (props != nullptr) {
        // A property list that cannot be read simply does not ask for the deletion.
        try {
            m_deleteOnClose = props->GetField(texts::kPropDeleteOnClose) == "1";
        } catch (const std::exception&) {
            m_deleteOnClose = false;
        }
    }
    m_version1Map.clear();
    m_modified = false;

    const std::vector<FrameSetLink*> frameSets = m_frameSets;
    for (FrameSetLink* frameSet : frameSets) frameSet->ResetView();

    // Pictures go before the objects they were made from; image controls let go of them first.
    ReleasePictureCache();
    m_defaultParagraphStyle = nullptr;
    m_defaultTableStyle = nullptr;
    {
        // The lists are emptied before the objects die, so an object that looks something up
        // while it is destroyed finds an empty document rather than a half-destroyed one.
        m_closing = true;
        std::array<ObjectList, kKindCount> dying;
        dying.swap(m_lists);
        for (auto& list : dying) list.clear();
        m_closing = false;
    }

    CloseFile();
    m_fileName.clear();
    m_dataStart = 0;
    m_dataBase = 0;
    ReleasePictureCache();
    if (!m_tempFolder.empty()) DeleteFiles(m_tempFolder);
    ForgetCachedProperties();
}

void TOVKset::CloseFile() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
    m_fileSize = 0;
    m_window.clear();
    m_window.shrink_to_fit();
    m_lastEnd = -1;
    if (m_deleteOnClose && !m_fileName.empty()) {
        // Unix needs no write permission on the file itself to remove it, so there is no
        // read-only attribute to clear first. Errors are ignored: the file stays.
        ::unlink(m_fileName.c_str());
    }
    m_deleteOnClose = false;
}

void TOVKset::New() {
    Fire(OnBeforeNew);
    Close();
    const int ppi = ScreenPpi() ? ScreenPpi()() : 96;
    m_header = OVKHeader::NewDefault(LoggedInUser(), ppi);
    CreateDefaultStyles(true, true);
    SetProperty(texts::kPropIndex, texts::kIndexFileName);
    SetProperty(texts::kPropCart, texts::kCartFileName);
    SetCharSet(texts::kDefaultCharSet);
    Fire(OnAfterNew);
    m_modified = false;
    const int codePage = LocaleCodePage();
    if (codePage == 1250 || codePage == 1251 || (codePage >= 1253 && codePage <= 1258))
        SetCharSet(texts::kWindowsCharSetPrefix + std::to_string(codePage));
}

void TOVKset::CreateDefaultStyles(bool paragraph, bool table) {
    auto make = [this](const char* name, bool zeroMargins) {
        std::unique_ptr<TOVKoggetto> style = TOVKoggetto::Create(TOggettiHel::stileParagrafo);
        style->SetDocument(this);
        style->Reset();
        OVKRecord& rec = style->Record();
        rec.SetU8(4, 1);
        rec.SetStr(5, 32, name);
        if (zeroMargins) {
            rec.SetI16(86, 0);
            rec.SetI16(88, 0);
        }
        TOVKoggetto* raw = style.release();
        RegisterObject(raw, -1);
        return raw;
    };
    if (paragraph) m_defaultParagraphStyle = make(texts::kNoStyleName, false);
    if (table) m_defaultTableStyle = make(texts::kNoTableStyleName, true);
}

// --- open ----------------------------------------------------------------------------------------

bool TOVKset::SetOVKFileName(const std::string& path) {
    Fire(OnBeforeNew);
    if (!FileExists(path)) {
        Msg().Warning(path + texts::kNotExists);
        return false;
    }
    PumpMessages(25, 0);
    Close();
    PumpMessages(25, 0);
    if (OnBusy) OnBusy(true);

    bool ok = false;
    try {
        ok = Load(path);
    } catch (const std::exception&) {
        // Whatever went wrong while loading (a failed allocation, a broken object) counts as
        // a failed open: the document is replaced by a new empty one below and the user told.
        ok = false;
    }
    m_loading = false;
    m_window.clear();
    m_window.shrink_to_fit();
    if (OnBusy) OnBusy(false);
    if (!ok) {
        New();
        Msg().Information(texts::kReadError + path);
    }
    m_modified = false;
    return ok;
}

bool TOVKset::Load(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    m_fd = fd;
    m_fileSize = static_cast<std::int64_t>(st.st_size);
    m_fileName = path;

    // The header reader looks at most at the header, the section table and the record-area
    // length; it gets those bytes in memory, the rest of the file is read by position.
    std::string prefix;
    const std::int64_t prefixLength = std::min(m_fileSize, kHeaderPrefix);
    if (!ReadFileBlock(0, prefixLength, prefix)) return false;
    std::istringstream in(prefix);
    std::optional<OVKContainer> container = ReadOVKHeader(in, path);

    bool accepted = true;
    if (container) {
        container->fileSize = m_fileSize;
        m_header = container->header;
        m_dataStart = container->dataStart;
        m_dataBase = container->dataBase;
        m_version1Map.clear();
        const bool hasStyles = container->sections[static_cast<int>(TOggettiHel::stileParagrafo)].count >= 1;
        if (!hasStyles) CreateDefaultStyles(true, true);
        m_loading = true;
        if (!LoadSections(*container)) return false;
        m_loading = false;
        if (Version() == 1) ConvertVersion1();
        if (hasStyles) {
            const ObjectList& styles = m_lists[static_cast<int>(TOggettiHel::stileParagrafo)];
            m_defaultParagraphStyle = styles.empty() ? nullptr : styles[0].get();
            m_defaultTableStyle = styles.size() < 2 ? nullptr : styles[1].get();
            // A file with a single style cannot supply the table style; style 1 must exist all
            // the same, so the standard table style is made in its place.
            if (!m_defaultParagraphStyle) CreateDefaultStyles(true, false);
            if (!m_defaultTableStyle) CreateDefaultStyles(false, true);
        }
        const std::int32_t pages = Count(TOggettiHel::testoHtml);
        if (CoverPage() < 0 || CoverPage() > pages) m_header.SetCoverPage(0);
        if (SummaryPage() < 0 || SummaryPage() > pages) m_header.SetSummaryPage(0);
        m_loadedWhole = true;
    } else if (m_fileSize == 0) {
        // An empty file is a new ebook that has not been written yet.
        New();
        SetExpPrefix(ExportPrefixFromFileName(path));
    } else {
        accepted = false;
    }
    m_fileName = path;
    Fire(OnAfterNew);
    return accepted;
}

bool TOVKset::LoadSections(const OVKContainer& c) {
    const int last = std::min(c.header.LastSection(), kKindCount - 1);
    std::string chunk;
    for (int kind = 0; kind <= last; ++kind) {
        const OVKSection& s = c.sections[kind];
        if (s.count <= 0) continue;
        // A section that claims records must have a size for them, and every record it
        // claims must lie in the file: the counts are checked before anything is allocated.
        if (s.recordSize <= 0 || s.count > kMaxIndex + 1) return false;
        if (c.UsableCount(kind) < s.count) return false;
        const int length = c.RecordReadLength(kind);
        const std::int64_t size = s.recordSize;
        const std::int64_t first = c.dataStart + s.offset;
        const std::int64_t perChunk = std::max<std::int64_t>(1, kRecordChunkBytes / size);
        ObjectList& list = m_lists[kind];
        if (s.count <= m_fileSize / 64) list.reserve(static_cast<std::size_t>(s.count));

        for (std::int64_t j0 = 0; j0 < s.count; j0 += perChunk) {
            const std::int64_t n = std::min<std::int64_t>(perChunk, s.count - j0);
            const std::int64_t bytes = (n - 1) * size + length;
            chunk.resize(static_cast<std::size_t>(bytes));
            if (!PRead(m_fd, first + j0 * size, chunk.data(), bytes)) return false;
            const auto* base = reinterpret_cast<const std::uint8_t*>(chunk.data());
            for (std::int64_t k = 0; k < n; ++k) {
                std::unique_ptr<TOVKoggetto> object = TOVKoggetto::Create(static_cast<TOggettiHel>(kind));
                object->SetDocument(this);
                object->SetIndex(static_cast<std::int32_t>(j0 + k));
                object->LoadRecord(ByteSpan(base + k * size, static_cast<std::size_t>(length)));
                list.push_back(std::move(object));
            }
        }
    }
    return true;
}

void TOVKset::ConvertVersion1() {
    auto convert = [this](TOggettiHel from, TOggettiHel to, bool picture) {
        ObjectList old = std::move(m_lists[static_cast<int>(from)]);
        m_lists[static_cast<int>(from)].clear();
        for (std::unique_ptr<TOVKoggetto>& object : old) {
            if (!object || object->IsFree()) continue; // destroyed with the old list
            const std::int32_t oldRef = object->Reference();
            object->SetRegistered(false); // already out of its list
            object->SetKind(to);
            if (picture) {
                OVKRecord& rec = object->Record();
                rec.SetI32(662, ReferenceIndex(oldRef));
                rec.SetU8(666, 0);
                rec.SetI32(77, Revision() - 1);
            }
            TOVKoggetto* raw = object.release();
            RegisterObject(raw, -1);
            m_version1Map[oldRef] = raw->Reference();
        }
    };
    convert(TOggettiHel::mappaClic, TOggettiHel::immagine, true);
    convert(TOggettiHel::zipLink, TOggettiHel::genLink, false);
}

// --- file access -----------------------------------------------------------------------------------

bool TOVKset::ReadFileBlock(std::int64_t position, std::int64_t length, std::string& out) const {
    out.clear();
    if (m_fd < 0 || !InRange(static_cast<std::size_t>(m_fileSize), position, length)) return false;
    if (length == 0) return true;

    if (m_loading) {
        const std::int64_t windowEnd = m_windowStart + static_cast<std::int64_t>(m_window.size());
        const bool inWindow = position >= m_windowStart && position + length <= windowEnd;
        // Blocks that follow the previous one closely are served from one large read;
        // anything else (and anything big) is read on its own, so scattered blocks never
        // cost a whole window each.
        const bool nearby = m_lastEnd >= 0 && position >= m_lastEnd && position - m_lastEnd <= kWindowBytes;
        m_lastEnd = position + length;
        if (!inWindow && nearby && length < kWindowBytes / 2) {
            const std::int64_t fill = std::min(kWindowBytes, m_fileSize - position);
            m_window.resize(static_cast<std::size_t>(fill));
            if (!PRead(m_fd, position, m_window.data(), fill)) {
                m_window.clear();
                return false;
            }
            m_windowStart = position;
        }
        if (position >= m_windowStart &&
            position + length <= m_windowStart + static_cast<std::int64_t>(m_window.size())) {
            out.assign(m_window, static_cast<std::size_t>(position - m_windowStart),
                       static_cast<std::size_t>(length));
            return true;
        }
    }
    out.resize(static_cast<std::size_t>(length));
    if (!PRead(m_fd, position, out.data(), length)) {
        out.clear();
        return false;
    }
    return true;
}

// --- objects ---------------------------------------------------------------------------------------

TOVKoggetto* TOVKset::Object(TOggettiHel kind, std::int32_t index) const {
    const auto k = static_cast<std::size_t>(kind);
    if (k >= m_lists.size() || index < 0) return nullptr;
    const ObjectList& list = m_lists[k];
    return static_cast<std::size_t>(index) < list.size() ? list[static_cast<std::size_t>(index)].get()
                                                         : nullptr;
}

TOVKoggetto* TOVKset::ObjectByRef(std::int32_t ref) const {
    if (ref < 0) return nullptr;
    int kind = ReferenceKind(ref);
    if (kind >= static_cast<int>(TOggettiHel::none)) return nullptr;
    if (kind == static_cast<int>(TOggettiHel::zipLink) || kind == static_cast<int>(TOggettiHel::mappaClic)) {
        auto it = m_version1Map.find(ref);
        if (it != m_version1Map.end()) ref = it->second;
        kind = ReferenceKind(ref);
    }
    return Object(static_cast<TOggettiHel>(kind), ReferenceIndex(ref));
}

int TOVKset::Count(TOggettiHel kind) const {
    const auto k = static_cast<int>(kind);
    if (k < 0 || k > static_cast<int>(TOggettiHel::none)) return 0;
    return static_cast<int>(m_lists[static_cast<std::size_t>(k)].size());
}

std::int32_t TOVKset::RegisterObject(TOVKoggetto* object, std::int32_t wanted) {
    if (object == nullptr) return -1;
    const auto k = static_cast<std::size_t>(object->Kind());
    if (k >= m_lists.size()) return -1;
    ObjectList& list = m_lists[k];
    auto isFree = [&](std::size_t i) { return !list[i] || list[i].get() == object || list[i]->IsFree(); };

    // An object already sitting in its own slot is not entered twice.
    const std::int32_t own = object->Index();
    if (own >= 0 && static_cast<std::size_t>(own) < list.size() &&
        list[static_cast<std::size_t>(own)].get() == object)
        list[static_cast<std::size_t>(own)].release();

    std::size_t slot = list.size();
    if (wanted >= 0 && wanted <= kMaxIndex) {
        slot = static_cast<std::size_t>(wanted);
    } else if (own >= 0 && static_cast<std::size_t>(own) < list.size() &&
               isFree(static_cast<std::size_t>(own))) {
        slot = static_cast<std::size_t>(own);
    } else {
        for (std::size_t i = 0; i < list.size(); ++i)
            if (isFree(i)) {
                slot = i;
                break;
            }
    }

    if (slot < list.size()) {
        std::unique_ptr<TOVKoggetto> previous = std::move(list[slot]);
        list[slot].reset(object);
        if (previous && previous.get() != object)
            previous->Reset();
        else
            previous.release(); // the object itself: already owned by the slot again
    } else {
        list.emplace_back(object);
        slot = list.size() - 1;
    }
    object->SetDocument(this);
    object->SetIndex(static_cast<std::int32_t>(slot));
    object->SetRegistered(true);
    m_modified = true;
    return static_cast<std::int32_t>(slot);
}

void TOVKset::ForgetObject(TOVKoggetto* object) {
    if (object == nullptr) return;
    const auto k = static_cast<std::size_t>(object->Kind());
    if (k >= m_lists.size()) return;
    ObjectList& list = m_lists[k];
    const std::int32_t index = object->Index();
    if (index >= 0 && static_cast<std::size_t>(index) < list.size() &&
        list[static_cast<std::size_t>(index)].get() == object) {
        list[static_cast<std::size_t>(index)].release();
    } else {
        for (auto& slot : list)
            if (slot.get() == object) slot.release();
    }
    object->SetRegistered(false);
}

std::int64_t TOVKset::KeptBytes() const {
    std::int64_t bytes = 0;
    for (const ObjectList& list : m_lists)
        for (const auto& object : list) {
            if (!object) continue;
            bytes += OVKRecord::kSize;
            if (object->HasData() && !object->IsFileBacked())
                bytes += static_cast<std::int64_t>(object->DataBytes().size());
            if (object->HasExtra()) bytes += static_cast<std::int64_t>(object->Extra().size());
        }
    return bytes;
}

// --- special objects -------------------------------------------------------------------------------

TOVKoggetto* TOVKset::NewSpecialObject(TOggettiHel kind) {
    std::unique_ptr<TOVKoggetto> object = TOVKoggetto::Create(kind);
    object->SetDocument(this);
    object->Reset();
    object->InitNew();
    if (kind == TOggettiHel::dbloc) object->Record().SetU8(46, 1);
    TOVKoggetto* raw = object.release();
    RegisterObject(raw, -1);
    return raw;
}

TOVKoggetto* TOVKset::SpecialObject(TOggettiHel kind, std::int32_t ref) {
    if (ref <= 0) return nullptr;
    TOVKoggetto* object = ObjectByRef(ref);
    // A reference into another kind (a damaged header) counts as missing too.
    return object != nullptr && object->Kind() == kind ? object : nullptr;
}

TOVKoggetto* TOVKset::FindPropertyList() const {
    const std::int32_t ref = m_header.PropertyList();
    if (ref <= 0) return nullptr;
    TOVKoggetto* object = ObjectByRef(ref);
    return object != nullptr && object->Kind() == TOggettiHel::dbloc ? object : nullptr;
}

TOVKoggetto* TOVKset::PropertyList() {
    if (TOVKoggetto* found = SpecialObject(TOggettiHel::dbloc, m_header.PropertyList())) return found;
    TOVKoggetto* created = NewSpecialObject(TOggettiHel::dbloc);
    m_header.SetPropertyList(created->Reference());
    return created;
}

TOVKoggetto* TOVKset::TreeHolder() {
    if (TOVKoggetto* found = SpecialObject(TOggettiHel::shortObj, m_header.TreeHolder())) return found;
    TOVKoggetto* created = NewSpecialObject(TOggettiHel::shortObj);
    m_header.SetTreeHolder(created->Reference());
    return created;
}

TOVKoggetto* TOVKset::CustomTreeHolder() {
    if (TOVKoggetto* found = SpecialObject(TOggettiHel::shortObj, m_header.CustomTreeHolder())) return found;
    TOVKoggetto* created = NewSpecialObject(TOggettiHel::shortObj);
    m_header.SetCustomTreeHolder(created->Reference());
    return created;
}

// --- properties ------------------------------------------------------------------------------------

std::string TOVKset::Property(const std::string& key) { return PropertyList()->GetField(key); }

void TOVKset::SetProperty(const std::string& key, const std::string& value) {
    PropertyList()->SetField(key, value);
}

std::string TOVKset::CharSet() {
    if (!m_charSet) m_charSet = Property(texts::kPropCharSet);
    return *m_charSet;
}

void TOVKset::SetCharSet(std::string charSet) {
    SetProperty(texts::kPropCharSet, charSet);
    m_charSet = std::move(charSet);
}

int TOVKset::FontCharSet() {
    if (m_fontCharSet == 255) {
        const std::string value = Property(texts::kPropFontCharSet);
        int number = 1;
        if (!value.empty() && value != "1") {
            char* end = nullptr;
            errno = 0;
            long v = std::strtol(value.c_str(), &end, 10);
            if (errno == 0 && end != value.c_str() && *end == '\0' && v >= 0 && v <= 255)
                number = static_cast<int>(v);
        }
        // 255 is the marker for "not read yet"; a stored 255 would be read again every time.
        m_fontCharSet = number;
    }
    return m_fontCharSet;
}

void TOVKset::SetFontCharSet(int charSet) {
    SetProperty(texts::kPropFontCharSet, std::to_string(charSet));
    m_fontCharSet = charSet;
}

std::string TOVKset::ExpPrefix() {
    if (m_expPrefix.empty()) {
        std::string extended = Property(texts::kPropExtendedPrefix);
        m_expPrefix = Lower(extended.empty() ? m_header.ExportPrefix() : extended);
    }
    return m_expPrefix;
}

void TOVKset::SetExpPrefix(std::string prefix) {
    m_header.SetExportPrefix(prefix.substr(0, 16));
    if (prefix.size() > 16 || !Property(texts::kPropExtendedPrefix).empty())
        SetProperty(texts::kPropExtendedPrefix, prefix);
    m_expPrefix.clear();
}

int TOVKset::GlobalMargin() {
    if (!m_globalMarginRead) {
        const std::string value = Property(texts::kPropGlobalMargin);
        char* end = nullptr;
        errno = 0;
        long v = std::strtol(value.c_str(), &end, 10);
        const bool valid = !value.empty() && errno == 0 && end != value.c_str() && *end == '\0' &&
                           v >= INT32_MIN && v <= INT32_MAX;
        m_globalMargin = valid ? static_cast<int>(v) : -1;
        m_globalMarginRead = true;
    }
    return m_globalMargin;
}

// --- temporary files -------------------------------------------------------------------------------

std::string TOVKset::TempFolder() {
    if (!m_tempFolder.empty() && IsOwnFolder(m_tempFolder)) return m_tempFolder;
    char name[32];
    std::snprintf(name, sizeof name, "%08x_%08x", static_cast<unsigned>(::getpid()), m_instance);
    const std::string path = ::morvell::TempFolder() + name;
    // Whatever carries our name was left by an earlier run with the same process number
    // (or planted); it goes, and the folder is made afresh, private to the user.
    for (int attempt = 0; attempt < 3; ++attempt) {
        DeleteTree(path);
        if (::mkdir(path.c_str(), 0700) == 0 || IsOwnFolder(path)) break;
    }
    m_tempFolder = path;
    return m_tempFolder;
}

std::string TOVKset::UniqueTempName(const std::string& name) {
    const std::string folder = TempFolder();
    // Names come from the ebook: only the last component is used, so no stored name can
    // point outside the folder.
    std::string base =
        name.substr(name.find_last_of("/\\") == std::string::npos ? 0 : name.find_last_of("/\\") + 1);
    std::replace(base.begin(), base.end(), '\0', '_');
    if (base == "." || base == "..") base.clear();
    if (!base.empty() && !PathExists(folder + "/" + base)) return folder + "/" + base;

    const std::size_t dot = base.rfind('.');
    const std::string extension = dot == std::string::npos ? std::string() : base.substr(dot);
    std::string candidate;
    // 2^24 names per extension; the bound only keeps a folder full of them from hanging us.
    for (int attempt = 0; attempt < 100000; ++attempt) {
        char stem[16];
        std::snprintf(stem, sizeof stem, "%s%03x%03x", texts::kTempNameStem, RandomBelow(4096),
                      RandomBelow(4096));
        candidate = folder + "/" + stem + extension;
        if (!PathExists(candidate)) break;
    }
    return candidate;
}

std::string TOVKset::ResolveCdFolder(const std::string& path, bool mayAsk) {
    std::string folder = options::ReadKey(texts::kCdDriveKey, texts::kCdDriveValue);
    // A store that cannot be opened answers "notfound", which is no folder at all.
    if (folder == options::kNotFound) folder.clear();
    if (mayAsk && folder.empty()) {
        std::optional<std::string> chosen;
        if (Chooser()) chosen = Chooser()(texts::kCdFolderPrompt);
        if (chosen) {
            folder = *chosen;
            options::WriteKey(texts::kCdDriveKey, texts::kCdDriveValue, folder);
        }
    }
    while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();

    const std::string marker = texts::kCdDriveMarker;
    std::string result = path;
    std::size_t from = 0;
    for (;;) {
        const std::size_t at = Lower(result).find(marker, from);
        if (at == std::string::npos) break;
        std::string replacement = folder;
        const std::size_t after = at + marker.size();
        if (after >= result.size() || (result[after] != '\\' && result[after] != '/')) replacement += '/';
        result.replace(at, marker.size(), replacement);
        // Searching on after the replacement: a folder that itself contains the marker must
        // not be expanded again and again.
        from = at + replacement.size();
    }
    return result;
}

// --- pictures and frame sets -----------------------------------------------------------------------

void TOVKset::ReleasePicturesOf(const TOVKoggetto* object) {
    if (object == nullptr) return;
    if (object->Kind() == TOggettiHel::immagine) {
        m_pictures.Drop(object);
    } else if (object->Kind() == TOggettiHel::immagineNew) {
        const OVKRecord& rec = object->Record();
        m_pictures.Drop(Object(TOggettiHel::immagine, rec.I32(0)));
        m_pictures.Drop(Object(TOggettiHel::immagine, rec.I32(9)));
    }
}

PictureObject* TOVKset::ImmagineAt(std::int32_t index) {
    return dynamic_cast<PictureObject*>(Object(TOggettiHel::immagine, index));
}

CachedPicture* TOVKset::CachedPictureOf(const PictureObject& immagine) {
    return m_pictures.Find(dynamic_cast<const TOVKoggetto*>(&immagine));
}

CachedPicture* TOVKset::AddCachedPicture(PictureObject& immagine, std::unique_ptr<CachedPicture> picture) {
    return m_pictures.Add(dynamic_cast<TOVKoggetto*>(&immagine), std::move(picture));
}

void TOVKset::DropCachedPicture(const PictureObject& immagine) {
    m_pictures.Drop(dynamic_cast<const TOVKoggetto*>(&immagine));
}

void TOVKset::AddFrameSet(FrameSetLink* frameSet) {
    if (frameSet && std::find(m_frameSets.begin(), m_frameSets.end(), frameSet) == m_frameSets.end())
        m_frameSets.push_back(frameSet);
}

void TOVKset::RemoveFrameSet(FrameSetLink* frameSet) {
    m_frameSets.erase(std::remove(m_frameSets.begin(), m_frameSets.end(), frameSet), m_frameSets.end());
}

FrameSetLink* TOVKset::FindFrameSet(const std::string& name, const FrameSetLink* skip) const {
    for (FrameSetLink* frameSet : m_frameSets)
        if (frameSet != skip && frameSet->HasFrameNamed(name)) return frameSet;
    return nullptr;
}

} // namespace morvell
