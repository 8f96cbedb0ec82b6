#pragma once
// Message boxes of the reader: QMessageBox, application modal and without a parent window,
// with the captions every box of the program carries.

#include "platform/Messages.h"

namespace morvell {

class QtMessages : public Messages {
public:
    void Information(const std::string& text) override;
    void Warning(const std::string& text) override;
    void Error(const std::string& text) override;
    bool Question(const std::string& text) override;
    void Plain(const std::string& text) override;
};

// Installs QtMessages as the process-wide message boxes and QCoreApplication::processEvents
// as the message pump of PumpMessages. Call once the QApplication exists.
void InstallQtPlatform();

} // namespace morvell
