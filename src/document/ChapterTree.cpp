#include "document/ChapterTree.h"

#include "document/ChapterTreeTexts.h"
#include "document/TOVKset.h"
#include "objects/TOVKoggetto.h"
#include "platform/CodePage.h"
#include "platform/Messages.h"
#include "platform/Shell.h"

#include <algorithm>
#include <charconv>

namespace morvell {

namespace {

// A decimal number as the node list writes it; `fallback` for anything else (empty text,
// letters, a number out of range).
long long NumberOr(std::string_view text, long long fallback) {
    long long value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return fallback;
    return value;
}

std::string FileNameWithoutFolder(const std::string& path) {
    auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

TOVKOutlineNode::~TOVKOutlineNode() = default;

int TOVKOutlineNode::Level() const {
    int level = 0;
    for (const TOVKOutlineNode* p = m_parent; p; p = p->m_parent) ++level;
    return level;
}

TOVKOutline::TOVKOutline() = default;

TOVKOutline::~TOVKOutline() = default;

void TOVKOutline::SetLinkedOVKset(TOVKset* document) {
    if (document == m_document) return;
    m_document = document;
    Clear();
}

void TOVKOutline::Clear() {
    m_selected = nullptr;
    m_top.clear();
    Changed();
}

TOVKoggetto* TOVKOutline::Holder() const {
    if (!m_document) return nullptr;
    return m_objects == TOggettiHel::custom ? m_document->CustomTreeHolder() : m_document->TreeHolder();
}

void TOVKOutline::Reload() {
    TOVKoggetto* holder = Holder();
    Clear();
    if (!holder) return;
    const std::string list = holder->HasData() ? holder->DataBytes() : std::string();
    if (!list.empty()) {
        ReadNodeList(list);
    } else {
        BuildDefault();
        Save();
    }
    Changed();
}

void TOVKOutline::BuildDefault() {
    auto root = std::make_unique<Node>(
        TOVKNodeKind::Root,
        CodePage::FromUtf8(FileNameWithoutFolder(m_document->OVKFileName()), m_document->CharSet()));
    const int count = m_document->Count(m_objects);
    for (int i = 0; i < count; ++i) {
        TOVKoggetto* object = m_document->Object(m_objects, i);
        if (!object || object->IsFree()) continue;
        auto leaf = std::make_unique<Node>(TOVKNodeKind::Leaf, object->DisplayName());
        leaf->m_reference = MakeReference(m_objects, i);
        leaf->m_parent = root.get();
        root->m_children.push_back(std::move(leaf));
    }
    m_top.push_back(std::move(root));
}

void TOVKOutline::Save() {
    if (TOVKoggetto* holder = Holder()) holder->SetData(WriteNodeList());
}

std::unique_ptr<TOVKOutlineNode> TOVKOutline::MakeNode(std::int32_t number, std::string caption) const {
    switch (number) {
    case kNodeChapter:
        return std::make_unique<Node>(TOVKNodeKind::Chapter, std::move(caption));
    case kNodeRoot:
        return std::make_unique<Node>(TOVKNodeKind::Root, std::move(caption));
    case kNodePlain:
        return std::make_unique<Node>(TOVKNodeKind::Plain, std::move(caption));
    default:
        break;
    }
    if (ReferenceKind(number) != static_cast<int>(m_objects))
        return std::make_unique<Node>(TOVKNodeKind::Plain, texts::kForeignReferenceCaption);
    auto leaf = std::make_unique<Node>(TOVKNodeKind::Leaf, std::move(caption));
    leaf->m_reference = number;
    if (TOVKoggetto* object = ObjectOf(*leaf)) leaf->m_caption = object->DisplayName();
    return leaf;
}

TOVKOutlineNode* TOVKOutline::Place(std::unique_ptr<Node> node, Node* prev, long long level) {
    node->m_lineLevel = static_cast<int>(std::clamp<long long>(level, INT32_MIN, INT32_MAX));
    Node* parent = nullptr;
    if (prev) {
        if (level == prev->m_lineLevel) {
            parent = prev->m_parent;
        } else if (level == static_cast<long long>(prev->m_lineLevel) + 1) {
            if (prev->Level() + 1 >= kMaxOutlineDepth) return nullptr;
            parent = prev;
        } else if (level > prev->m_lineLevel) {
            return nullptr;
        } else {
            Node* ancestor = prev->m_parent;
            while (ancestor && ancestor->m_lineLevel > level) ancestor = ancestor->m_parent;
            parent = ancestor ? ancestor->m_parent : nullptr;
        }
    }
    node->m_parent = parent;
    NodeList& list = parent ? parent->m_children : m_top;
    list.push_back(std::move(node));
    return list.back().get();
}

void TOVKOutline::ReadNodeList(std::string_view list) {
    try {
        Node* prev = nullptr;
        std::size_t pos = 0;
        while (pos < list.size()) {
            std::size_t end = list.find('\n', pos);
            if (end == std::string_view::npos) end = list.size();
            std::string_view line = list.substr(pos, end - pos);
            pos = end + 1;
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

            if (line.empty() || line.front() != 'a') {
                Msg().Error(texts::kErrorDecodingNodes);
                continue;
            }
            line.remove_prefix(1);
            const std::size_t comma1 = line.find(',');
            const std::string_view levelText = line.substr(0, comma1);
            std::string_view numberText, caption;
            if (comma1 != std::string_view::npos) {
                const std::size_t comma2 = line.find(',', comma1 + 1);
                numberText = line.substr(comma1 + 1, comma2 == std::string_view::npos ? std::string_view::npos
                                                                                      : comma2 - comma1 - 1);
                if (comma2 != std::string_view::npos) caption = line.substr(comma2 + 1);
            }
            const long long level = NumberOr(levelText, 1);
            const long long number = NumberOr(numberText, 1);
            // Numbers are 32-bit references; anything wider names no object of any kind.
            std::unique_ptr<Node> node =
                number < INT32_MIN || number > UINT32_MAX
                    ? std::make_unique<Node>(TOVKNodeKind::Plain, texts::kForeignReferenceCaption)
                    : MakeNode(static_cast<std::int32_t>(static_cast<std::uint32_t>(number)),
                               std::string(caption));
            Node* placed = Place(std::move(node), prev, level);
            if (!placed) {
                Msg().Error(texts::kErrorLoadingNodes);
                continue;
            }
            prev = placed;
        }
    } catch (...) {
        // Not swallowed: a half-read tree is never shown, the caller still sees the error.
        Clear();
        throw;
    }
}

std::vector<TOVKOutlineNode*> TOVKOutline::NodesInOrder() const {
    std::vector<Node*> out;
    std::vector<Node*> stack;
    for (auto it = m_top.rbegin(); it != m_top.rend(); ++it) stack.push_back(it->get());
    while (!stack.empty()) {
        Node* node = stack.back();
        stack.pop_back();
        out.push_back(node);
        for (auto it = node->m_children.rbegin(); it != node->m_children.rend(); ++it)
            stack.push_back(it->get());
    }
    return out;
}

std::string TOVKOutline::WriteNodeList() const {
    std::string out;
    for (const Node* node : NodesInOrder()) {
        out += 'a' + std::to_string(node->Level()) + ',';
        if (node->m_kind == TOVKNodeKind::Leaf) {
            out += std::to_string(node->m_reference) + ',' + texts::kLeafCaption + "\r\n";
            continue;
        }
        const std::int32_t number = node->m_kind == TOVKNodeKind::Chapter ? kNodeChapter
                                    : node->m_kind == TOVKNodeKind::Root  ? kNodeRoot
                                                                          : kNodePlain;
        std::string caption = node->m_caption;
        // A caption edited by the user must not break the line structure of the list.
        std::replace_if(
            caption.begin(), caption.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
        out += std::to_string(number) + ',' + caption + "\r\n";
    }
    return out;
}

TOVKoggetto* TOVKOutline::ObjectOf(const Node& node) const {
    if (!m_document || node.m_kind != TOVKNodeKind::Leaf) return nullptr;
    TOVKoggetto* object = m_document->ObjectByRef(node.m_reference);
    return object && object->Kind() == m_objects ? object : nullptr;
}

std::vector<TOVKoggetto*> TOVKOutline::PagesInOrder() const {
    std::vector<TOVKoggetto*> out;
    for (const Node* node : NodesInOrder())
        if (TOVKoggetto* object = ObjectOf(*node)) out.push_back(object);
    return out;
}

TOVKoggetto* TOVKOutline::SelectedObject() const { return m_selected ? ObjectOf(*m_selected) : nullptr; }

std::string TOVKOutline::SelectedChapterCaption() const {
    return m_selected && m_selected->m_kind == TOVKNodeKind::Chapter ? m_selected->m_caption : std::string();
}

TOVKOutline::NodeList& TOVKOutline::SiblingsOf(const Node& node) {
    return node.m_parent ? node.m_parent->m_children : m_top;
}

int TOVKOutline::IndexOf(const Node& node) const {
    const NodeList& list = node.m_parent ? node.m_parent->m_children : m_top;
    for (std::size_t i = 0; i < list.size(); ++i)
        if (list[i].get() == &node) return static_cast<int>(i);
    return -1;
}

// --- editing -----------------------------------------------------------------------------------

namespace {

bool HoldsChildren(const TOVKOutlineNode* node) {
    return node && (node->Kind() == TOVKNodeKind::Chapter || node->Kind() == TOVKNodeKind::Root);
}

} // namespace

TOVKOutlineNode* TOVKOutline::AddChapter(const std::string& caption, bool first) {
    if (!m_editable || !m_selected) return nullptr;
    Node* parent = HoldsChildren(m_selected) ? m_selected : m_selected->m_parent;
    if (!HoldsChildren(parent) || parent->Level() + 1 >= kMaxOutlineDepth) return nullptr;
    auto chapter = std::make_unique<Node>(TOVKNodeKind::Chapter, caption);
    chapter->m_addedByUser = true;
    chapter->m_parent = parent;
    Node* added = chapter.get();
    auto& list = parent->m_children;
    list.insert(first ? list.begin() : list.end(), std::move(chapter));
    m_selected = added;
    Changed();
    if (OnEditLabel) OnEditLabel(*added);
    return added;
}

TOVKOutlineNode* TOVKOutline::AddLeaf(std::int32_t reference, bool first) {
    if (!m_editable || !m_selected || !m_document) return nullptr;
    Node* parent = m_selected->m_kind == TOVKNodeKind::Leaf ? m_selected->m_parent : m_selected;
    if (!HoldsChildren(parent)) return nullptr;
    // A leaf of another kind would read back as a plain node: refuse it here.
    TOVKoggetto* object = m_document->ObjectByRef(reference);
    if (!object || object->Kind() != m_objects) return nullptr;
    auto leaf = std::make_unique<Node>(TOVKNodeKind::Leaf, object->DisplayName());
    leaf->m_reference = object->Reference();
    leaf->m_parent = parent;
    Node* added = leaf.get();
    auto& list = parent->m_children;
    list.insert(first ? list.begin() : list.end(), std::move(leaf));
    m_selected = added;
    Changed();
    return added;
}

void TOVKOutline::MoveUp() {
    if (!m_editable || !m_selected || !m_selected->m_parent) return;
    NodeList& list = SiblingsOf(*m_selected);
    const int index = IndexOf(*m_selected);
    if (index <= 0) return;
    // Index 1 becomes the first child; any other goes before the sibling at index - 1: for a
    // vector both come down to swapping with the previous sibling.
    std::swap(list[static_cast<std::size_t>(index)], list[static_cast<std::size_t>(index - 1)]);
    Changed();
}

void TOVKOutline::MoveDown() {
    if (!m_editable || !m_selected || !m_selected->m_parent) return;
    NodeList& list = SiblingsOf(*m_selected);
    const int index = IndexOf(*m_selected);
    if (index < 0 || index + 1 >= static_cast<int>(list.size())) return;
    // The second-to-last becomes the last; any other goes before the sibling at index + 2.
    std::swap(list[static_cast<std::size_t>(index)], list[static_cast<std::size_t>(index + 1)]);
    Changed();
}

void TOVKOutline::DeleteSelected() {
    if (!m_editable || !m_selected || m_selected->m_kind == TOVKNodeKind::Root) return;
    if (m_objects != TOggettiHel::testoHtml && OnDel && !OnDel(*m_selected)) return;
    NodeList& list = SiblingsOf(*m_selected);
    const int index = IndexOf(*m_selected);
    if (index < 0) return;
    m_selected = nullptr;
    list.erase(list.begin() + index);
    Changed();
    if (OnAfterDel) OnAfterDel();
}

bool TOVKOutline::CanEditLabel(const Node& node) const {
    if (m_readOnly) return false;
    switch (node.m_kind) {
    case TOVKNodeKind::Chapter:
        return m_editable;
    case TOVKNodeKind::Leaf:
        return m_editable && m_objects == TOggettiHel::custom;
    case TOVKNodeKind::Root:
    case TOVKNodeKind::Plain:
        return true;
    }
    return false;
}

bool TOVKOutline::RenameNode(Node& node, const std::string& caption) {
    if (!CanEditLabel(node)) return false;
    node.m_caption = caption;
    if (node.m_kind == TOVKNodeKind::Leaf) {
        if (TOVKoggetto* object = ObjectOf(node)) {
            // The name of a custom object is its string[40] at 17.
            object->Record().SetStr(17, 40, caption);
            node.m_caption = object->DisplayName();
        }
        if (OnRenameItem) OnRenameItem(node);
    }
    return true;
}

bool TOVKOutline::HandleKey(char key, bool editingLabel) {
    if (!m_editable || !m_selected) return false;
    if (key == '.' && !editingLabel) {
        DeleteSelected();
        return true;
    }
    if (key == 'q' && !editingLabel && CanEditLabel(*m_selected)) {
        if (OnEditLabel) OnEditLabel(*m_selected);
        return true;
    }
    return false;
}

std::string TOVKOutline::IconName(const Node& node) const {
    switch (node.m_kind) {
    case TOVKNodeKind::Root:
        return FileTypeIcon(texts::kEbookIconFile);
    case TOVKNodeKind::Chapter:
        return FileTypeIcon(node.m_addedByUser ? texts::kHelpIconFile : texts::kEbookIconFile);
    case TOVKNodeKind::Leaf:
        return FileTypeIcon(m_objects == TOggettiHel::custom ? texts::kSettingsIconFile
                                                             : texts::kTextIconFile);
    case TOVKNodeKind::Plain:
        return {};
    }
    return {};
}

} // namespace morvell
