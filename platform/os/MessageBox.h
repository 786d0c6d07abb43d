#pragma once
// Message boxes for the fatal-error path and the exit question. No SDL here.
#include <functional>
#include <string>

namespace OsPlatform {

enum class MessageIcon { Information, Warning, Error };

// Shows `text` under `caption` and waits until it is dismissed. `parent` is the game window
// (an SDL_Window*) or null. With no display the caption and text go to stderr instead.
void ShowMessage(const std::string& caption, const std::string& text, MessageIcon icon,
                 void* parent = nullptr);

// Asks a yes/no question; true for yes. A box closed without an answer (its window's close
// button) counts as no. With no display the question goes to stderr and counts as answered
// yes, so a game that cannot ask can still be closed.
bool AskYesNo(const std::string& caption, const std::string& text, void* parent = nullptr);

// Test hook: while set, every box goes to the hook instead of the screen, and the hook's
// result answers AskYesNo. An empty function removes it.
using MessageBoxHook = std::function<bool(const std::string& caption, const std::string& text)>;
void SetMessageBoxHook(MessageBoxHook hook);

}  // namespace OsPlatform
