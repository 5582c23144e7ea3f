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

int ShowMessage(HWND owner, const std::wstring& text, UINT flags) {
  IMessageBoxAnswerer* answerer = nullptr;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    answerer = g_answerer;
  }
  if (answerer != nullptr) return answerer->Answer(owner, text, flags);
  return ::MessageBoxW(owner, text.c_str(), Application::Instance().Title().c_str(), flags);
}

}  // namespace ui
