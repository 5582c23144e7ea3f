#include "ui/MessageBox.h"

#include <mutex>

#include "ui/Application.h"

namespace ui {
namespace {
std::mutex g_mutex;
MessageBoxAnswerer g_answerer;
}  // namespace

MessageBoxAnswerer SetMessageBoxAnswerer(MessageBoxAnswerer answerer) {
  std::lock_guard<std::mutex> lock(g_mutex);
  std::swap(g_answerer, answerer);
  return answerer;
}

int ShowMessageTitled(HWND owner, const std::wstring& text, const std::wstring& title, UINT flags) {
  MessageBoxAnswerer answerer;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    answerer = g_answerer;
  }
  if (answerer) return answerer(owner, text, flags);
  return ::MessageBoxW(owner, text.c_str(), title.c_str(), flags);
}

int ShowMessage(HWND owner, const std::wstring& text, UINT flags) {
  return ShowMessageTitled(owner, text, Application::Instance().Title(), flags);
}

}  // namespace ui
