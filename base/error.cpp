// The failure report, and the one failure text that needs the Windows-1251 conversion.
#include "base/error.h"

#include "base/console.h"
#include "base/text1251.h"

const char* const failureText::noVariantFound = "Не найдено ни одного файла"_cp1251;

std::string failureReport(const GameError& error) {
  std::string report = error.message ? error.message : failureText::unnamed;
  if (error.file.empty()) return report;
  if (!report.empty() && report.back() != '\n') report += '\n';
  report += "velmo: " + printableName(error.file) + ": " + (error.reason.empty() ? "cannot be used" : error.reason) + "\n";
  return report;
}
