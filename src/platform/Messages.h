#pragma once
// Message boxes. Every user-facing failure goes through the process-wide Messages
// implementation: QtMessages in the reader, StderrMessages in ovktool, RecordingMessages in
// tests. Texts are UTF-8; ebook bytes are converted before they get here.

#include <deque>
#include <string>
#include <vector>

namespace morvell {

inline constexpr const char* kCaptionInformation = "Informazione";
inline constexpr const char* kCaptionWarning = "Attenzione!";
inline constexpr const char* kCaptionError = "Errore!";

enum class MessageKind { Information, Warning, Error, Question, Plain };

class Messages {
public:
    virtual ~Messages() = default;
    virtual void Information(const std::string& text) = 0;
    virtual void Warning(const std::string& text) = 0;
    virtual void Error(const std::string& text) = 0;
    // Yes/No question; the caption is the application title remembered at main-window creation.
    virtual bool Question(const std::string& text) = 0;
    // A plain message window (no icon), captioned with the application title.
    virtual void Plain(const std::string& text) = 0;
};

// The implementation in force. Never null: before anyone installs one, a StderrMessages answers.
Messages& Msg();
// Installs an implementation (not owned); nullptr restores the stderr default.
void SetMessages(Messages* messages);

// Application title used as the caption of questions and plain messages.
const std::string& ApplicationTitle();
void SetApplicationTitle(const std::string& title);

// Caption a box of this kind carries.
std::string CaptionOf(MessageKind kind);

// ovktool and the headless paths: one line "Caption: text" on stderr per box; a carriage
// return inside the text becomes a line feed. Questions are answered with `answer`.
class StderrMessages : public Messages {
public:
    explicit StderrMessages(bool answer = false) : m_answer(answer) {}
    void Information(const std::string& text) override;
    void Warning(const std::string& text) override;
    void Error(const std::string& text) override;
    bool Question(const std::string& text) override;
    void Plain(const std::string& text) override;

    static std::string FormatLine(const std::string& caption, const std::string& text);

private:
    bool m_answer;
};

// Tests: remembers every box; questions take answers from a queue (default: m_defaultAnswer).
class RecordingMessages : public Messages {
public:
    struct Entry {
        MessageKind kind;
        std::string caption;
        std::string text;
        bool operator==(const Entry&) const = default;
    };

    void Information(const std::string& text) override { Add(MessageKind::Information, text); }
    void Warning(const std::string& text) override { Add(MessageKind::Warning, text); }
    void Error(const std::string& text) override { Add(MessageKind::Error, text); }
    bool Question(const std::string& text) override;
    void Plain(const std::string& text) override { Add(MessageKind::Plain, text); }

    const std::vector<Entry>& Entries() const { return m_entries; }
    std::vector<std::string> Texts() const;
    void Clear() { m_entries.clear(); }
    void QueueAnswer(bool yes) { m_answers.push_back(yes); }
    void SetDefaultAnswer(bool yes) { m_defaultAnswer = yes; }

private:
    void Add(MessageKind kind, const std::string& text);
    std::vector<Entry> m_entries;
    std::deque<bool> m_answers;
    bool m_defaultAnswer = true;
};

// Installs a Messages implementation for the lifetime of the object (tests, ovktool verbs).
class ScopedMessages {
public:
    explicit ScopedMessages(Messages& messages);
    ~ScopedMessages();
    ScopedMessages(const ScopedMessages&) = delete;
    ScopedMessages& operator=(const ScopedMessages&) = delete;

private:
    Messages* m_previous;
};

} // namespace morvell
