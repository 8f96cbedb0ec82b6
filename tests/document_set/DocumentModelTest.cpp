// The document without a file: a new empty document, its locale code page, slot allocation,
// the special objects, properties, the picture cache, temporary files, the CD folder and the
// frame-set registry.

#include "DocumentFixtures.h"

#include "document/TOVKset.h"
#include "objects/TOVKoggetto.h"
#include "platform/Messages.h"
#include "shell/Options.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

namespace morvell::test {
namespace {

using K = TOggettiHel;
namespace fs = std::filesystem;

class DocumentModelTest : public ::testing::Test {
protected:
    // A fresh registered object of `kind`, in use.
    static TOVKoggetto* AddInUse(TOVKset& doc, K kind, std::int32_t wanted = -1) {
        std::unique_ptr<TOVKoggetto> object = TOVKoggetto::Create(kind);
        object->SetDocument(&doc);
        object->Reset();
        object->InitNew();
        TOVKoggetto* raw = object.release();
        doc.RegisterObject(raw, wanted);
        return raw;
    }

    TempHome m_home;
    ScopedEnv m_locale{"LC_ALL", "en_US.UTF-8"};
    RecordingMessages m_messages;
    ScopedMessages m_scope{m_messages};
};

TEST_F(DocumentModelTest, NewDocumentHasTheStandardHeaderStylesAndProperties) {
    TOVKset doc;
    EXPECT_EQ(doc.OVKFileName(), "");
    EXPECT_FALSE(doc.IsOpen());
    EXPECT_EQ(doc.Header().Magic(), "QELB");
    EXPECT_EQ(doc.Version(), 2);
    EXPECT_EQ(doc.Revision(), 2);
    EXPECT_EQ(doc.Header().LastSection(), 26);
    ASSERT_EQ(doc.Count(K::stileParagrafo), 2);
    EXPECT_EQ(doc.DefaultParagraphStyle()->Record().Str(5, 32), "[nessuno stile]");
    EXPECT_EQ(doc.DefaultTableStyle()->Record().Str(5, 32), "[nessuno stile tabella]");
    // Only the table style loses the standard margins: cells have their own padding.
    EXPECT_EQ(doc.DefaultParagraphStyle()->Record().I16(86), 10);
    EXPECT_EQ(doc.DefaultParagraphStyle()->Record().I16(88), 10);
    EXPECT_EQ(doc.DefaultTableStyle()->Record().I16(86), 0);
    EXPECT_EQ(doc.DefaultTableStyle()->Record().I16(88), 0);
    EXPECT_EQ(doc.Property("index"), "index.htm");
    EXPECT_EQ(doc.Property("cart"), "js.js");
    EXPECT_EQ(doc.CharSet(), "iso-8859-1");
    EXPECT_EQ(doc.FontCharSet(), 1);
    EXPECT_EQ(doc.GlobalMargin(), -1);
    EXPECT_FALSE(doc.Modified());
    EXPECT_TRUE(m_messages.Entries().empty());
}

TEST_F(DocumentModelTest, NewDocumentTakesTheCodePageOfTheUsersLocale) {
    struct Case {
        const char* lcAll;
        const char* lang;
        const char* charSet;
    } cases[] = {
        {"cs_CZ.UTF-8", nullptr, "windows-1250"},
        {"pl_PL", nullptr, "windows-1250"},
        {"ru_RU.UTF-8", nullptr, "windows-1251"},
        {"el_GR", nullptr, "windows-1253"},
        {"tr_TR.UTF-8", nullptr, "windows-1254"},
        {"he_IL", nullptr, "windows-1255"},
        {"ar_EG.UTF-8", nullptr, "windows-1256"},
        {"lt_LT", nullptr, "windows-1257"},
        {"vi_VN", nullptr, "windows-1258"},
        {"it_IT.UTF-8", nullptr, "iso-8859-1"},
        {"C", nullptr, "iso-8859-1"},
        {nullptr, "hu_HU.UTF-8", "windows-1250"},
        {nullptr, nullptr, "iso-8859-1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.lcAll ? c.lcAll : "-") + "/" + (c.lang ? c.lang : "-"));
        ScopedEnv all("LC_ALL", c.lcAll ? std::optional<std::string>(c.lcAll) : std::nullopt);
        ScopedEnv ctype("LC_CTYPE", std::nullopt);
        ScopedEnv lang("LANG", c.lang ? std::optional<std::string>(c.lang) : std::nullopt);
        TOVKset doc;
        EXPECT_EQ(doc.CharSet(), c.charSet);
        EXPECT_EQ(doc.Property("CharSet"), c.charSet);
    }
}

TEST_F(DocumentModelTest, SlotAllocationReusesFreeSlotsAndHonoursWantedIndices) {
    TOVKset doc;
    const K kind = K::internetLink;
    TOVKoggetto* a = AddInUse(doc, kind);
    TOVKoggetto* b = AddInUse(doc, kind);
    TOVKoggetto* c = AddInUse(doc, kind);
    EXPECT_EQ(a->Index(), 0);
    EXPECT_EQ(b->Index(), 1);
    EXPECT_EQ(c->Index(), 2);
    EXPECT_TRUE(doc.Modified());

    // A free slot is taken before the list grows.
    b->Reset();
    ASSERT_TRUE(b->IsFree());
    TOVKoggetto* d = AddInUse(doc, kind);
    EXPECT_EQ(d->Index(), 1);
    EXPECT_EQ(doc.Object(kind, 1), d);
    EXPECT_TRUE(d->Registered());
    EXPECT_EQ(doc.ObjectByRef(d->Reference()), d);

    // A wanted index inside the list replaces its occupant; one past the end appends.
    TOVKoggetto* e = AddInUse(doc, kind, 0);
    EXPECT_EQ(e->Index(), 0);
    EXPECT_EQ(doc.Object(kind, 0), e);
    TOVKoggetto* f = AddInUse(doc, kind, 1000);
    EXPECT_EQ(f->Index(), 3);
    EXPECT_EQ(doc.Count(kind), 4);

    // A forgotten object leaves an empty slot that the next registration fills.
    doc.ForgetObject(c);
    std::unique_ptr<TOVKoggetto> owned(c);
    EXPECT_FALSE(c->Registered());
    EXPECT_EQ(doc.Object(kind, 2), nullptr);
    EXPECT_EQ(doc.Count(kind), 4);
    TOVKoggetto* g = AddInUse(doc, kind);
    EXPECT_EQ(g->Index(), 2);
}

TEST_F(DocumentModelTest, ReferencesOutsideTheListsResolveToNothing) {
    TOVKset doc;
    AddInUse(doc, K::keyword);
    const std::int32_t refs[] = {-1,
                                 Ref(K::keyword, 1),
                                 Ref(K::none, 0),
                                 Ref(K::testoHtmlRtf, 0),
                                 static_cast<std::int32_t>(0x7F000000),
                                 Ref(K::mappaClic, 0),
                                 Ref(K::zipLink, 0)};
    for (std::int32_t ref : refs) EXPECT_EQ(doc.ObjectByRef(ref), nullptr) << std::hex << ref;
    EXPECT_NE(doc.ObjectByRef(Ref(K::keyword, 0)), nullptr);
    EXPECT_EQ(doc.Count(K::testoHtmlRtf), 0);
    EXPECT_EQ(doc.Object(K::keyword, -1), nullptr);
}

TEST_F(DocumentModelTest, SpecialObjectsAreMadeOnDemandAndStoredInTheHeader) {
    ovkbuild::Builder b;
    ovkbuild::AddPage(b, "Pagina");
    // A header that names a page as its tree holder: a reference of the wrong kind.
    b.Header().SetTreeHolder(Ref(K::testoHtml, 0));
    const std::string path = (m_home.Path() / "bare.ovk").string();
    b.Write(path);

    TOVKset doc;
    ASSERT_TRUE(doc.SetOVKFileName(path));
    EXPECT_EQ(doc.Count(K::dbloc), 0);
    TOVKoggetto* props = doc.PropertyList();
    ASSERT_NE(props, nullptr);
    EXPECT_EQ(props->Kind(), K::dbloc);
    EXPECT_EQ(props->Record().U8(46), 1);
    EXPECT_EQ(props->Record().U8(4), 7);
    EXPECT_TRUE(props->Registered());
    EXPECT_EQ(doc.Header().PropertyList(), props->Reference());
    EXPECT_EQ(doc.PropertyList(), props);

    TOVKoggetto* tree = doc.TreeHolder();
    TOVKoggetto* custom = doc.CustomTreeHolder();
    ASSERT_NE(tree, nullptr);
    ASSERT_NE(custom, nullptr);
    EXPECT_NE(tree, custom);
    EXPECT_EQ(tree->Kind(), K::shortObj);
    EXPECT_EQ(doc.Header().TreeHolder(), tree->Reference());
    EXPECT_EQ(doc.Header().CustomTreeHolder(), custom->Reference());
    EXPECT_EQ(doc.TreeHolder(), tree);
    EXPECT_EQ(doc.Count(K::shortObj), 2);
    // The page the bad reference named is untouched.
    EXPECT_EQ(doc.Object(K::testoHtml, 0)->Record().Str(5, 71), "Pagina");
}

TEST_F(DocumentModelTest, PropertiesReadTheirStoredFormsAndCacheThem) {
    TOVKset doc;
    doc.SetProperty("FCharSet", "238");
    doc.SetProperty("GlobalMargin", "12");
    EXPECT_EQ(doc.FontCharSet(), 238);
    EXPECT_EQ(doc.GlobalMargin(), 12);
    doc.SetProperty("GlobalMargin", "30");
    EXPECT_EQ(doc.GlobalMargin(), 12); // cached until the document closes

    TOVKset other;
    other.SetProperty("FCharSet", "bogus");
    other.SetProperty("GlobalMargin", "12px");
    EXPECT_EQ(other.FontCharSet(), 1);
    EXPECT_EQ(other.GlobalMargin(), -1);

    // Export prefix: short ones live in the header only, long ones in the property too.
    TOVKset prefix;
    prefix.SetExpPrefix("Corto");
    EXPECT_EQ(prefix.Header().ExportPrefix(), "Corto");
    EXPECT_EQ(prefix.Property("extendedprefix"), "");
    EXPECT_EQ(prefix.ExpPrefix(), "corto");
    prefix.SetExpPrefix("UnPrefissoMoltoLungo");
    EXPECT_EQ(prefix.Header().ExportPrefix(), "UnPrefissoMoltoL");
    EXPECT_EQ(prefix.Property("extendedprefix"), "UnPrefissoMoltoLungo");
    EXPECT_EQ(prefix.ExpPrefix(), "unprefissomoltolungo");
    // Once the long form exists, a short one replaces it there as well.
    prefix.SetExpPrefix("Breve");
    EXPECT_EQ(prefix.ExpPrefix(), "breve");
}

TEST_F(DocumentModelTest, PictureCacheEvictsTheOldestOneEntryPerAddition) {
    TOVKset doc;
    ASSERT_EQ(doc.MaxCacheImg(), 20);
    std::vector<TOVKoggetto*> pictures;
    for (int i = 0; i < 22; ++i) pictures.push_back(AddInUse(doc, K::immagine));
    int destroyed = 0;
    FakeImageControl control;
    doc.RegisterImageControl(&control);

    for (int i = 0; i < 20; ++i) {
        CachedPicture* added = doc.AddPicture(pictures[i], std::make_unique<FakePicture>(&destroyed));
        if (i == 0) control.m_shown = added;
    }
    EXPECT_EQ(doc.Pictures().Count(), 20);
    EXPECT_EQ(destroyed, 0);

    doc.AddPicture(pictures[20], std::make_unique<FakePicture>(&destroyed));
    EXPECT_EQ(doc.Pictures().Count(), 20);
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(doc.CachedPictureOf(pictures[0]), nullptr);
    EXPECT_NE(doc.CachedPictureOf(pictures[1]), nullptr);
    EXPECT_EQ(control.m_drops, 1);
    EXPECT_EQ(control.m_shown, nullptr);

    doc.AddPicture(pictures[21], std::make_unique<FakePicture>(&destroyed));
    EXPECT_EQ(doc.Pictures().Count(), 20);
    EXPECT_EQ(destroyed, 2);
    EXPECT_EQ(doc.Pictures().Objects().front(), pictures[2]);

    // Adding an object that is cached keeps the cached picture.
    CachedPicture* cached = doc.CachedPictureOf(pictures[5]);
    EXPECT_EQ(doc.AddPicture(pictures[5], std::make_unique<FakePicture>(&destroyed)), cached);
    EXPECT_EQ(destroyed, 3);
    EXPECT_EQ(doc.Pictures().Count(), 20);
    EXPECT_TRUE(m_messages.Entries().empty());
    doc.UnregisterImageControl(&control);
}

TEST_F(DocumentModelTest, PictureCacheRefusesOtherKindsAndKeepsWhatWasJustAdded) {
    TOVKset doc;
    TOVKoggetto* page = AddInUse(doc, K::testoHtml);
    int destroyed = 0;
    EXPECT_EQ(doc.AddPicture(page, std::make_unique<FakePicture>(&destroyed)), nullptr);
    ASSERT_EQ(m_messages.Entries().size(), 1u);
    EXPECT_EQ(m_messages.Entries()[0].kind, MessageKind::Error);
    EXPECT_EQ(m_messages.Entries()[0].text, "What happens? Image cache bug?");
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(doc.Pictures().Count(), 0);

    // Even with no room at all, the picture handed back is alive.
    doc.SetMaxCacheImg(0);
    TOVKoggetto* a = AddInUse(doc, K::immagine);
    TOVKoggetto* b = AddInUse(doc, K::immagine);
    EXPECT_NE(doc.AddPicture(a, std::make_unique<FakePicture>()), nullptr);
    CachedPicture* second = doc.AddPicture(b, std::make_unique<FakePicture>());
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(doc.CachedPictureOf(b), second);
    EXPECT_EQ(doc.Pictures().Count(), 1);
}

TEST_F(DocumentModelTest, ReleasingTheCacheTakesPicturesFromControlsAndClearsThem) {
    TOVKset doc;
    TOVKoggetto* a = AddInUse(doc, K::immagine);
    TOVKoggetto* b = AddInUse(doc, K::immagine);
    auto gif = std::make_unique<FakePicture>(nullptr, true);
    CachedPicture* gifPicture = doc.AddPicture(a, std::move(gif));
    doc.AddPicture(b, std::make_unique<FakePicture>());
    EXPECT_TRUE(doc.IsCachedGif(gifPicture));
    EXPECT_FALSE(doc.IsCachedGif(doc.CachedPictureOf(b)));

    FakeImageControl showing, idle;
    showing.m_shown = gifPicture;
    doc.RegisterImageControl(&showing);
    doc.RegisterImageControl(&idle);

    // An immagineNew stands for the pictures it shows.
    TOVKoggetto* placed = AddInUse(doc, K::immagineNew);
    placed->Record().SetI32(0, b->Index());
    placed->Record().SetI32(9, -1);
    doc.ReleasePicturesOf(placed);
    EXPECT_EQ(doc.CachedPictureOf(b), nullptr);
    EXPECT_NE(doc.CachedPictureOf(a), nullptr);

    doc.ReleasePictureCache();
    EXPECT_EQ(doc.Pictures().Count(), 0);
    EXPECT_EQ(showing.m_drops, 1);
    EXPECT_FALSE(doc.Pictures().IsRegistered(&showing));
    EXPECT_TRUE(doc.Pictures().IsRegistered(&idle));
    EXPECT_EQ(idle.m_drops, 0);
    EXPECT_FALSE(doc.IsCachedGif(gifPicture));
    doc.UnregisterImageControl(&idle);
}

TEST_F(DocumentModelTest, TemporaryFolderIsPrivateAndNamesStayInsideIt) {
    std::string folder;
    {
        TOVKset doc;
        folder = doc.TempFolder();
        EXPECT_EQ(doc.TempFolder(), folder);
        const fs::path path(folder);
        EXPECT_EQ(path.parent_path(), fs::path(std::getenv("TMPDIR")));
        EXPECT_TRUE(std::regex_match(path.filename().string(), std::regex("[0-9a-f]{8}_[0-9a-f]{8}")));
        EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, fs::perms::owner_all);

        EXPECT_EQ(doc.UniqueTempName("foto.JPG"), folder + "/foto.JPG");
        EXPECT_EQ(doc.UniqueTempName("..\\..\\etc\\passwd"), folder + "/passwd");
        EXPECT_EQ(doc.UniqueTempName("../../x.txt"), folder + "/x.txt");
        WriteFile(folder + "/foto.JPG", "x");
        const std::string renamed = doc.UniqueTempName("foto.JPG");
        EXPECT_TRUE(std::regex_match(
            renamed,
            std::regex(std::regex_replace(folder, std::regex("[.]"), "\\.") + "/re[0-9a-f]{6}\\.JPG")))
            << renamed;
        for (const char* bad : {"", ".", "..", "dir/"}) {
            const std::string name = doc.UniqueTempName(bad);
            EXPECT_EQ(fs::path(name).parent_path(), fs::path(folder)) << bad;
            EXPECT_TRUE(fs::path(name).filename().string().starts_with("re")) << bad;
        }

        // Closing deletes the plain files, not the sub-folders.
        fs::create_directory(folder + "/tmpa");
        WriteFile(folder + "/tmpa/inner.txt", "x");
        doc.Close();
        EXPECT_FALSE(fs::exists(folder + "/foto.JPG"));
        EXPECT_TRUE(fs::exists(folder + "/tmpa/inner.txt"));
    }
    // The document takes its folder, sub-folder and all, with it.
    EXPECT_FALSE(fs::exists(folder));
}

TEST_F(DocumentModelTest, CdFolderReplacesEveryMarker) {
    TOVKset doc;
    std::vector<std::string> asked;
    TOVKset::SetFolderChooser([&](const std::string& text) -> std::optional<std::string> {
        asked.push_back(text);
        return std::string("/media/cdcddrive:/");
    });

    options::WriteKey("\\SOFTWARE\\BQ\\vOskRD\\", "cddrive", "/media/cd/");
    EXPECT_EQ(doc.ResolveCdFolder("cddrive:video\\a.mpg", true), "/media/cd/video\\a.mpg");
    EXPECT_EQ(doc.ResolveCdFolder("CDDrive:\\a.txt|cddrive:/b.txt", false),
              "/media/cd\\a.txt|/media/cd/b.txt");
    EXPECT_EQ(doc.ResolveCdFolder("plain.txt", true), "plain.txt");
    EXPECT_TRUE(asked.empty());

    // Nothing stored: asking is allowed only when the caller says so. The chosen folder is
    // remembered, and a folder that itself contains the marker is not expanded again.
    options::WriteKey("\\SOFTWARE\\BQ\\vOskRD\\", "cddrive", "");
    EXPECT_EQ(doc.ResolveCdFolder("cddrive:a", false), "/a");
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(doc.ResolveCdFolder("cddrive:a", true), "/media/cdcddrive:/a");
    EXPECT_EQ(asked, std::vector<std::string>{"Selezionare percorso per il CD / Cambiare CD:"});
    EXPECT_EQ(options::ReadKey("\\SOFTWARE\\BQ\\vOskRD\\", "cddrive"), "/media/cdcddrive:/");

    TOVKset::SetFolderChooser(nullptr);
}

struct FakeFrameSet : FrameSetLink {
    explicit FakeFrameSet(std::vector<std::string> frames) : m_frames(std::move(frames)) {}
    void ResetView() override { ++m_resets; }
    bool HasFrameNamed(const std::string& name) const override {
        return std::find(m_frames.begin(), m_frames.end(), name) != m_frames.end();
    }
    std::vector<std::string> m_frames;
    int m_resets = 0;
};

TEST_F(DocumentModelTest, FrameSetsAreResetAtCloseAndSearchedByFrameName) {
    TOVKset doc;
    FakeFrameSet main({"Pag", "menu"}), popup({"menu", "extra"});
    doc.AddFrameSet(&main);
    doc.AddFrameSet(&popup);
    doc.AddFrameSet(&main);
    EXPECT_EQ(doc.FindFrameSet("menu", nullptr), &main);
    EXPECT_EQ(doc.FindFrameSet("menu", &main), &popup);
    EXPECT_EQ(doc.FindFrameSet("extra", &popup), nullptr);
    EXPECT_EQ(doc.FindFrameSet("none", nullptr), nullptr);

    doc.Close();
    EXPECT_EQ(main.m_resets, 1);
    EXPECT_EQ(popup.m_resets, 1);
    doc.RemoveFrameSet(&popup);
    doc.New();
    EXPECT_EQ(main.m_resets, 2);
    EXPECT_EQ(popup.m_resets, 1);
    doc.RemoveFrameSet(&main);
}

} // namespace
} // namespace morvell::test
