#pragma once
// The in-memory ebook: the open file, its header, every stored object in one list per kind,
// the property list, the picture cache and a private temporary folder. Opening an ebook is
// setting its file name; everything else (frame sets, chapter tree, print, export, search)
// reaches pages and objects through the document.
//
// The file stays open while the document is: pictures and attachments are read from it
// when they are needed. Linux has no mandatory locks, so other programs may still open the
// file; the document only ever reads it.

#include "document/FrameSetLink.h"
#include "document/OVKHeader.h"
#include "document/OVKKinds.h"
#include "document/PictureCache.h"
#include "objects/picture/PictureObject.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace morvell {

class TOVKoggetto;
class Measurer;

class TOVKset : public PictureHost {
public:
    // Folder chooser used by ResolveCdFolder: shows the status text, returns the chosen
    // folder or nullopt when the user cancels. The UI installs one over TPathDialog.
    using FolderChooser = std::function<std::optional<std::string>(const std::string& statusText)>;
    static void SetFolderChooser(FolderChooser chooser);
    // Pixels per inch of the screen, written into the header of a new document. The UI
    // installs the screen's value; without one 96 is used.
    static void SetScreenPixelsPerInch(std::function<int()> ppi);
    // Set by the main window when the program is shutting down: the picture cache then
    // does not ask image controls to let go of their pictures.
    static void SetProgramClosing(bool closing);
    static bool ProgramClosing();

    // The code page of the user's locale, from the language of LC_ALL, LC_CTYPE or LANG
    // (the first one set): 1250 Central European, 1251 Cyrillic, 1253 Greek, 1254 Turkish,
    // 1255 Hebrew, 1256 Arabic, 1257 Baltic, 1258 Vietnamese, 1252 otherwise.
    static int LocaleCodePage();

    TOVKset();
    ~TOVKset() override;
    TOVKset(const TOVKset&) = delete;
    TOVKset& operator=(const TOVKset&) = delete;

    // --- open, new, close ------------------------------------------------------------------
    const std::string& OVKFileName() const { return m_fileName; }
    // Opens the ebook at `path` (the whole open, with its events and boxes). True on success;
    // a missing file changes nothing, any other failure leaves a new empty document.
    bool SetOVKFileName(const std::string& path);
    // A new empty document: default header, two default styles, the standard properties.
    void New();
    void Close();
    std::function<void()> OnBeforeNew;
    std::function<void()> OnAfterNew;
    // Busy cursor around the open: called with true before loading and false after.
    std::function<void(bool busy)> OnBusy;

    // --- header ------------------------------------------------------------------------------
    const OVKHeader& Header() const { return m_header; }
    OVKHeader& MutableHeader() { return m_header; }
    int Version() const { return m_header.Version(); }
    std::int32_t Revision() const { return m_header.Revision(); }
    std::int64_t DataStart() const { return m_dataStart; }
    std::int64_t DataBase() const { return m_dataBase; }
    // Indices of the pages shown first and by the summary command (checked at open).
    std::int32_t CoverPage() const { return m_header.CoverPage(); }
    std::int32_t SummaryPage() const { return m_header.SummaryPage(); }
    int PageCount() const { return Count(TOggettiHel::testoHtml); }

    // --- file access for file-backed blocks ---------------------------------------------------
    bool IsOpen() const { return m_fd >= 0; }
    std::int64_t FileSize() const { return m_fileSize; }
    // Reads [position, position + length) of the open file into `out`. False (and `out`
    // empty) when no file is open, the range is not inside the file or the read fails.
    bool ReadFileBlock(std::int64_t position, std::int64_t length, std::string& out) const;

    // --- objects -----------------------------------------------------------------------------
    // Object named by a reference: kind in the top byte, index in the low 24 bits. Old
    // references of converted version-1 objects (kinds 2 and 6) find the converted object.
    TOVKoggetto* ObjectByRef(std::int32_t ref) const;
    TOVKoggetto* Object(TOggettiHel kind, std::int32_t index) const;
    // Slots in the list of a kind (kinds 0 ... 25; 26 and above count as 0).
    int Count(TOggettiHel kind) const;
    // Enters `object` in the list of its kind and returns its index. `wanted` 0 ... 2^24-1
    // asks for that slot (past the end: appended); otherwise the object's own free slot, the
    // first free slot or a new one. The list takes ownership of the object; another object
    // in the chosen slot is reset and destroyed.
    std::int32_t RegisterObject(TOVKoggetto* object, std::int32_t wanted);
    // Takes `object` out of its list without destroying it; its slot becomes empty and the
    // caller owns the object from then on.
    void ForgetObject(TOVKoggetto* object);
    // True while Close destroys the objects, and while the program is closing.
    bool Closing() const { return m_closing || ProgramClosing(); }
    bool Modified() const { return m_modified; }
    void SetModified(bool modified) { m_modified = modified; }

    // --- special objects, created on demand ------------------------------------------------
    TOVKoggetto* PropertyList();
    TOVKoggetto* TreeHolder();
    TOVKoggetto* CustomTreeHolder();
    TOVKoggetto* DefaultParagraphStyle() const { return m_defaultParagraphStyle; }
    TOVKoggetto* DefaultTableStyle() const { return m_defaultTableStyle; }

    // --- properties --------------------------------------------------------------------------
    std::string Property(const std::string& key);
    void SetProperty(const std::string& key, const std::string& value);
    std::string CharSet();
    void SetCharSet(std::string charSet);
    int FontCharSet();
    void SetFontCharSet(int charSet);
    std::string ExpPrefix();
    void SetExpPrefix(std::string prefix);
    // Margin of every text box in pixels; -1 = none.
    int GlobalMargin();
    int MaxCacheImg() const { return m_pictures.MaxCacheImg(); }
    void SetMaxCacheImg(int max) { m_pictures.SetMaxCacheImg(max); }
    // Kept for the components that set it; the undo list always has its own depth.
    int UndoDeep() const { return m_undoDeep; }
    void SetUndoDeep(int deep) { m_undoDeep = deep; }

    // --- temporary files ---------------------------------------------------------------------
    // The document's private folder below the system's temporary folder (no trailing "/"),
    // made on first use.
    std::string TempFolder();
    // A path in the private folder for a file called `name` (its folder part dropped), or,
    // when that file exists, "re" + two random 3-digit hex numbers + the name's extension.
    std::string UniqueTempName(const std::string& name);
    // Replaces every "cddrive:" marker in `path` by the CD folder of the options store,
    // asking the user for it when it is not stored and `mayAsk` is set.
    std::string ResolveCdFolder(const std::string& path, bool mayAsk);

    // --- pictures ----------------------------------------------------------------------------
    PictureCache& Pictures() { return m_pictures; }
    CachedPicture* CachedPictureOf(const TOVKoggetto* object) const { return m_pictures.Find(object); }
    CachedPicture* AddPicture(TOVKoggetto* object, std::unique_ptr<CachedPicture> picture) {
        return m_pictures.Add(object, std::move(picture));
    }
    // Drops the cached pictures an object stands for: its own for an `immagine`, those of
    // its picture and rollover picture for an `immagineNew`.
    void ReleasePicturesOf(const TOVKoggetto* object);
    void ReleasePictureCache() { m_pictures.ReleaseAll(ProgramClosing()); }
    bool IsCachedGif(const CachedPicture* picture) const { return m_pictures.IsCachedGif(picture); }
    void RegisterImageControl(ImageControl* control) { m_pictures.RegisterControl(control); }
    void UnregisterImageControl(ImageControl* control) { m_pictures.UnregisterControl(control); }

    // The picture operations reach the cache through PictureHost; the objects they pass are
    // the document's own TOVKoggetto objects.
    PictureObject* ImmagineAt(std::int32_t index) override;
    CachedPicture* CachedPictureOf(const PictureObject& immagine) override;
    CachedPicture* AddCachedPicture(PictureObject& immagine, std::unique_ptr<CachedPicture> picture) override;
    void DropCachedPicture(const PictureObject& immagine) override;

    // --- frame sets --------------------------------------------------------------------------
    void AddFrameSet(FrameSetLink* frameSet);
    void RemoveFrameSet(FrameSetLink* frameSet);
    // The first registered frame set other than `skip` that has a frame called `name`.
    FrameSetLink* FindFrameSet(const std::string& name, const FrameSetLink* skip) const;

    // --- font measurement ----------------------------------------------------------------------
    // Metrics of named fonts for the converters; the UI installs the screen measurer.
    // Not owned; nullptr when none is installed.
    void SetMeasurer(Measurer* measurer) { m_measurer = measurer; }
    Measurer* FontMeasurer() const { return m_measurer; }

    // Bytes the document keeps in memory for its objects: records, memory data blocks and
    // extra blocks (benchmarks and diagnostics).
    std::int64_t KeptBytes() const;

private:
    using ObjectList = std::vector<std::unique_ptr<TOVKoggetto>>;

    bool Load(const std::string& path);
    bool LoadSections(const OVKContainer& container);
    void ConvertVersion1();
    void CreateDefaultStyles(bool paragraph, bool table);
    TOVKoggetto* SpecialObject(TOggettiHel kind, std::int32_t ref);
    TOVKoggetto* NewSpecialObject(TOggettiHel kind);
    TOVKoggetto* FindPropertyList() const;
    void CloseFile();
    void ForgetCachedProperties();

    std::string m_fileName;
    OVKHeader m_header;
    std::int64_t m_dataStart = 0;
    std::int64_t m_dataBase = 0;
    int m_fd = -1;
    std::int64_t m_fileSize = 0;

    std::array<ObjectList, kKindCount> m_lists;
    // Version-1 files: old reference of a converted object -> its reference today.
    std::unordered_map<std::int32_t, std::int32_t> m_version1Map;
    TOVKoggetto* m_defaultParagraphStyle = nullptr;
    TOVKoggetto* m_defaultTableStyle = nullptr;
    std::vector<FrameSetLink*> m_frameSets;
    PictureCache m_pictures;
    Measurer* m_measurer = nullptr;

    std::optional<std::string> m_charSet; // nullopt = not read yet
    int m_fontCharSet = 255;              // 255 = not read yet
    int m_globalMargin = -1;              // -1 = not read yet
    bool m_globalMarginRead = false;
    std::string m_expPrefix; // empty = not read yet
    bool m_modified = false;
    bool m_deleteOnClose = false;
    bool m_loadedWhole = false; // the open file was read to the end without an error
    bool m_closing = false;
    int m_undoDeep = 10;

    std::uint32_t m_instance;
    std::string m_tempFolder;

    // Read-ahead window used while the objects load: their data blocks mostly follow one
    // another in the file, so a few large reads replace one read per block.
    mutable std::string m_window;
    mutable std::int64_t m_windowStart = 0;
    mutable std::int64_t m_lastEnd = -1;
    bool m_loading = false;
};

} // namespace morvell
