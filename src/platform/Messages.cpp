#include "platform/Messages.h"

#include <cstdio>

namespace morvell {

namespace {
StderrMessages g_stderrMessages;
Messages* g_messages = nullptr;
std::string g_applicationTitle;
Messages* g_current() { return g_messages ? g_messages : &g_stderrMessages; }
} // namespace

Messages& Msg() { return *g_current(); }

void SetMessages(Messages* messages) { g_messages = messages; }

const std::string& ApplicationTitle() { return g_applicationTitle; }

void SetApplicationTitle(const std::string& title) { g_applicationTitle = title; }

std::string CaptionOf(MessageKind kind) {
    switch (kind) {
    case MessageKind::Information:
        return kCaptionInformation;
    case MessageKind::Warning:
        return kCaptionWarning;
    case MessageKind::Error:
        return kCaptionError;
    case MessageKind::Question:
    case MessageKind::Plain:
        return g_applicationTitle;
    }
    return {};
}

std::string StderrMessages::FormatLine(const std::string& caption, const std::string& text) {
    std::string line = caption + ": ";
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r') {
            // "\r\n" is one line break, not two.
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
            line += '\n';
        } else {
            line += c;
        }
    }
    return line;
}

static void PrintLine(const std::string& caption, const std::string& text) {
    std::string line = StderrMessages::FormatLine(caption, text);
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
}

void StderrMessages::Information(const std::string& text) { PrintLine(kCaptionInformation, text); }
void StderrMessages::Warning(const std::string& text) { PrintLine(kCaptionWarning, text); }
void StderrMessages::Error(const std::string& text) { PrintLine(kCaptionError, text); }
bool StderrMessages::Question(const std::string& text) {
    PrintLine(g_applicationTitle, text);
    return m_answer;
}
void StderrMessages::Plain(const std::string& text) { PrintLine(g_applicationTitle, text); }

bool RecordingMessages::Question(const std::string& text) {
    Add(MessageKind::Question, text);
    if (m_answers.empty()) return m_defaultAnswer;
    bool yes = m_answers.front();
    m_answers.pop_front();
    return yes;
}

void RecordingMessages::Add(MessageKind kind, const std::string& text) {
    m_entries.push_back({kind, CaptionOf(kind), text});
}

std::vector<std::string> RecordingMessages::Texts() const {
    std::vector<std::string> out;
    out.reserve(m_entries.size());
    for (const auto& e : m_entries) out.push_back(e.text);
    return out;
}

ScopedMessages::ScopedMessages(Messages& messages) : m_previous(g_messages) { g_messages = &messages; }
ScopedMessages::~ScopedMessages() { g_messages = m_previous; }

} // namespace morvell
