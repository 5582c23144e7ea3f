#include "registry/ProblemRow.h"

#include <tuple>

namespace registry {

bool TProblemRow::operator<(const TProblemRow& o) const {
  return std::tie(Problem, RegistryKey, Data, FixKind) < std::tie(o.Problem, o.RegistryKey, o.Data, o.FixKind);
}

TProblemRow MakeValueProblemRow(const std::wstring& problem, const std::wstring& keyPath,
                                const std::wstring& valueName, const std::wstring& data) {
  if (valueName.find(L'\\') != std::wstring::npos) return {problem, valueName, keyPath, fkDeleteNamedValue};
  return {problem, data, keyPath + L"\\" + valueName, fkDeleteValue};
}

}  // namespace registry
