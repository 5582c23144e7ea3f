#include "ui/MessageBox.h"

#include <mutex>

#include "ui/Application.h"

namespace ui {
namespace {
std::mutex g_mutex;
IMessageBoxAnswerer* g_answerer = nullptr;
}  // namespace

IMessageBoxAnswerer* SetMessageBoxAnswerer(IMessageBoxAnswerer* answerer) {
  std::lock_guard<std::mutex> lock(g_mutex);
  std::swap(g_answerer, answerer);
  return answerer;
}

int ShowMessageTitled(HWND owner, const std::wstring& text, const std::wstring& title, UINT flags) {
  IMessageBoxAnswerer* answerer = nullptr;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    answerer = g_answerer;
  }
  if (answerer != nullptr) return answerer->Answer(owner, text, flags);
  return ::MessageBoxW(owner, text.c_str(), title.c_str(), flags);
}

int ShowMessage(HWND owner, const std::wstring& text, UINT flags) {
  return ShowMessageTitled(owner, text, Application::Instance().Title(), flags);
}

}  // namespace ui
