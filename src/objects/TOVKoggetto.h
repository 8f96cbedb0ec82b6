#pragma once
// An object of an ebook in memory: its kind, index and 668-byte record, the data block (kept
// in memory, or left in the ebook file for attachments and pictures), the extra block with its
// attribute text, and the services every other part of the reader asks of an object.

#include "document/OVKKinds.h"
#include "objects/OVKRecord.h"
#include "objects/picture/PictureObject.h"
#include "platform/LittleEndian.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace morvell {

class TOVKset;
class TOVKtesto;
class TOVKpage;
class TPrintOwner;
class TInsiemeCornici;
class Visual;
class Printual;
class TOVKpicture;
class TOVKoggetto;

// Converts the text of a page copy from the old markup (record byte 195 = 1) to the current
// one; installed by the page-copy code. Assign runs it on the copy, so the registered page
// itself is never changed. Without a converter the copy keeps the old text.
using OldMarkupConverter = void (*)(TOVKoggetto& pageCopy);
void SetOldMarkupConverter(OldMarkupConverter converter);

// Every object can answer the picture operations; only immagine and immagineNew have pictures.
class TOVKoggetto : public PictureObject {
public:
    TOVKoggetto();
    virtual ~TOVKoggetto();
    TOVKoggetto(const TOVKoggetto&) = delete;
    TOVKoggetto& operator=(const TOVKoggetto&) = delete;

    // A TOVKtesto for testoHtml, a plain object of that kind otherwise. The kind is set without
    // touching any document list.
    static std::unique_ptr<TOVKoggetto> Create(TOggettiHel kind);
    // A new, empty object of the same class (the virtual constructor).
    virtual std::unique_ptr<TOVKoggetto> NewInstance() const;

    // --- identity -------------------------------------------------------------------------
    TOggettiHel Kind() const { return m_kind; }
    // Changes the kind; an object registered under another kind first leaves the document's
    // list for that kind (its slot becomes empty) and stops being registered.
    void SetKind(TOggettiHel kind);
    std::int32_t Index() const { return m_index; }
    void SetIndex(std::int32_t index) { m_index = index; }
    std::int32_t Reference() const { return MakeReference(m_kind, m_index); }
    // Position in a page copy's local link list (0x6F000000 + position), -1 elsewhere.
    std::int32_t LocalReference() const { return m_localReference; }
    void SetLocalReference(std::int32_t ref) { m_localReference = ref; }
    bool Registered() const { return m_registered; }
    void SetRegistered(bool registered) { m_registered = registered; }
    TOVKset* Document() const { return m_document; }
    void SetDocument(TOVKset* document) { m_document = document; }
    OVKRecord& Record() { return m_record; }
    const OVKRecord& Record() const { return m_record; }

    // Page copy whose local link list holds this object (resolves its local references).
    TOVKtesto* OwnerText() const { return m_ownerText; }
    void SetOwnerText(TOVKtesto* owner) { m_ownerText = owner; }
    bool FromHeaderOrFooter() const { return m_fromHeaderOrFooter; }
    void SetFromHeaderOrFooter(bool v) { m_fromHeaderOrFooter = v; }
    TInsiemeCornici* FrameSet() const { return m_frameSet; }
    void SetFrameSet(TInsiemeCornici* frameSet) { m_frameSet = frameSet; }
    bool WaitingToBePlaced() const { return m_waitingToBePlaced; }
    void SetWaitingToBePlaced(bool v) { m_waitingToBePlaced = v; }
    bool FocusWhenPlaced() const { return m_focusWhenPlaced; }
    void SetFocusWhenPlaced(bool v) { m_focusWhenPlaced = v; }
    // Number of the object's page control; -1 before a control exists. Used by element names.
    int ControlNumber() const;
    void SetControlNumber(int number) { m_controlNumber = number; }

    // --- loading and life cycle -----------------------------------------------------------
    // Reads one stored record: `stored` is the first min(R, 668) bytes of the record as they
    // are in the file. Upgrades old records, makes stored file names unique, reads the data
    // and extra blocks through the document and marks the object registered.
    void LoadRecord(ByteSpan stored);
    // Clears the object to an empty slot of its kind, releasing the special links it owns.
    virtual void Reset();
    // Turns a reset object into an empty object in use.
    void InitNew();
    bool IsFree() const;
    // Enters the object in the document's list for its kind; returns its index. An object that
    // is already registered is left alone.
    std::int32_t Register(std::int32_t wanted = -1);
    // An immagineNew placed outside the text flow.
    bool IsFloating() const;

    // --- blocks ---------------------------------------------------------------------------
    bool HasData() const { return m_data.has_value() || m_fileBacked; }
    // Data that stays in the ebook file and is read from it when needed.
    bool IsFileBacked() const { return m_fileBacked; }
    // The whole data block: the memory copy, or the bytes read from the ebook file.
    std::string DataBytes() const;
    void SetData(std::string bytes);
    void DropData();
    // Absolute file position and length of a file-backed block (as stored, maybe hostile).
    std::int64_t FileBlockPosition() const;
    std::int64_t FileBlockLength() const;

    bool HasExtra() const { return m_extra.has_value(); }
    const std::string& Extra() const;
    void SetExtra(std::string bytes) { m_extra = std::move(bytes); }
    void DropExtra() { m_extra.reset(); }
    // The attribute text: the extra block after its binary part.
    std::string AttributeText() const;

    const std::string& FileName() const { return m_fileName; }
    void SetFileName(std::string name) { m_fileName = std::move(name); }

    // Picture of an immagineNew whose picture is an external file (kept by the picture code).
    TOVKpicture* OwnPicture() const override { return m_ownPicture.get(); }
    void SetOwnPicture(std::unique_ptr<TOVKpicture> picture) override;
    // Drops the object's cached pictures (the document's cache entry and its own picture).
    void ReleasePictures();
    // The picture the object shows and its rollover picture, through the document's cache;
    // null for kinds without pictures or when the picture cannot be decoded.
    TOVKpicture* GetPicture();
    TOVKpicture* RolloverPicture();

    // --- picture seam (PictureObject) --------------------------------------------------------
    int PictureKind() const override { return static_cast<int>(m_kind); }
    std::string PictureBytes() const override { return DataBytes(); }
    void SetStoredPictureSize(std::uint16_t width, std::uint16_t height) override;
    std::int32_t PictureIndex(PictureSlot slot) const override;
    void SetOriginalAndDisplayedSize(std::int16_t width, std::int16_t height) override;

    // --- services -------------------------------------------------------------------------
    std::string DisplayName() const;
    // Hint text: short form, "|", long form.
    std::string Describe() const;
    std::string StoredFileName() const override;
    // Writes the data block into the document's temporary folder; returns the path, or "" on
    // failure. The object then refers to the file instead of its data.
    std::string ExtractToFile();
    // Appends the data block to `out` (with `withHeader`, preceded by its int32 length and an
    // int32 0); returns the number of data bytes. Failures go to `messages` when given, else
    // to an error box.
    std::int64_t WriteData(std::string& out, bool withHeader,
                           std::vector<std::string>* messages = nullptr) const;

    std::string GetAttribute(const std::string& name, bool* found = nullptr) const;
    void SetAttribute(const std::string& name, const std::string& value);
    // Name/value list of a dbloc.
    std::string GetField(const std::string& name);
    void SetField(const std::string& name, const std::string& value);
    // Name sent with a form element.
    std::string ElementName() const;

    // Copies kind, index, record, document and blocks (an immagine becomes an immagineNew).
    virtual void Assign(const TOVKoggetto& source);
    // The picture or page this object shows; nullptr when none.
    TOVKoggetto* ShownObject() const;

    // Memory form (clipboard and undo copies).
    void WriteToStream(std::string& out) const;
    // Reads one memory form at `pos` and advances it; false when the form was cut short.
    bool ReadFromStream(ByteSpan in, std::size_t& pos);

    // Makes the page control through the installed factory; the control belongs to the page
    // view. nullptr when the kind has none or no factory is installed.
    virtual Visual* CreateVisual(TOVKpage* pageView);
    virtual Printual* CreatePrintual(TPrintOwner* owner);
    Visual* CurrentVisual() const { return m_visual; }
    // The control tells its object when it goes away.
    void ForgetVisual(const Visual* visual);
    Printual* CurrentPrintual() const { return m_printual; }
    void ForgetPrintual(const Printual* printual);

    // Object named by `ref`, through the owning page copy when there is one, else through the
    // document. Shows "bug in aux" for a multimedia media reference of kind byte 0.
    TOVKoggetto* Resolve(std::int32_t ref) const;

protected:
    // Remembers a control made by a descendant's own CreateVisual.
    void AdoptVisual(Visual* visual) {
        m_visual = visual;
        if (visual) m_waitingToBePlaced = true;
    }
    // Depth-guarded workers: reference cycles between objects never recurse without bound.
    std::string DisplayNameAt(int depth) const;
    std::string DescribeAt(int depth) const;
    void ResetAt(int depth);
    void ReleaseOwnedLinks(int depth);

    TOggettiHel m_kind = TOggettiHel::testoHtmlRtf;

private:
    void UpgradeRecord(int storedLength);
    void MakeStoredNameUnique(int offset, int capacity);
    void ReadBlocks(int storedLength, bool& clear);
    void ApplyResetDefaults();
    void EnsureFields();
    void SaveFields();
    std::string DescribeOtherEbook(const std::string& address, bool& handled) const;

    std::int32_t m_localReference = -1;
    std::int32_t m_index = -1;
    bool m_registered = false;
    TOVKset* m_document = nullptr;
    OVKRecord m_record;
    std::optional<std::string> m_data; // memory data stream
    bool m_fileBacked = false;         // data stays in the ebook file
    std::optional<std::string> m_extra;
    std::string m_fileName;
    Visual* m_visual = nullptr;     // owned by the page view
    Printual* m_printual = nullptr; // owned by the print layout
    bool m_fromHeaderOrFooter = false;
    std::optional<std::vector<std::string>> m_fields; // dbloc field list, built on demand
    TInsiemeCornici* m_frameSet = nullptr;
    std::unique_ptr<TOVKpicture> m_ownPicture;
    TOVKtesto* m_ownerText = nullptr;
    bool m_waitingToBePlaced = false;
    bool m_focusWhenPlaced = false;
    int m_controlNumber = -1;
};

} // namespace morvell
