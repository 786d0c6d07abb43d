#pragma once
#include <memory>
#include <string>

namespace GameCore {

// The texts of the game's dialogs, kept for the whole process. A dialog is named by
// two byte ids; its list holds the task message first, then the next messages. The
// key is major * 255 + minor, so (0, 255) and (1, 0) name one dialog. A read cursor
// walks the current dialog's next messages.
//
// After Clear no dialog is current until the next SetCurrentDialog: the setters
// then ignore their text and the getters return false.
class DialogManager {
public:
    static DialogManager& Instance();
    ~DialogManager();
    DialogManager(const DialogManager&) = delete;
    DialogManager& operator=(const DialogManager&) = delete;

    // Selects the dialog, creating its list when new, and restarts the cursor.
    void SetCurrentDialog(unsigned char major, unsigned char minor);
    unsigned char GetMajor() const;
    unsigned char GetMinor() const;
    bool HasCurrentDialog() const;

    // Inserts at the front: an earlier task message becomes the first next message.
    void SetDialogTaskMessage(const char* text);
    void SetNextDialogMessage(const char* text);
    bool GetDialogTaskMessage(std::string& out) const;
    // The message after those read (the front one is skipped); advances the cursor.
    bool GetNextDialogMessage(std::string& out) const;
    void Clear();

private:
    DialogManager();
    struct Impl;
    std::unique_ptr<Impl> _impl;
};

}  // namespace GameCore
