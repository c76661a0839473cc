#include "layout/LineList.h"

#include <stdexcept>

#include "layout/Title.h"

void LineList::Append(std::string text, LineKind kind) {
  if (lines.size() >= maxPrintedLines) {
    throw std::runtime_error("Printed touch too long: more than " +
                             IntToText(static_cast<std::int64_t>(maxPrintedLines)) + " lines");
  }
  AddBytes(text.size() + 1);
  lines.push_back({std::move(text), kind});
}

void LineList::RemoveLast() {
  bytes -= lines.back().text.size() + 1;
  lines.pop_back();
}

void LineList::AppendTo(std::size_t index, std::string_view text) {
  AddBytes(text.size());
  lines[index].text += text;
}

void LineList::AddBytes(std::size_t count) {
  if (count > maxPrintedBytes - bytes) {
    throw std::runtime_error("Printed touch too long: more than " +
                             IntToText(static_cast<std::int64_t>(maxPrintedBytes)) + " bytes");
  }
  bytes += count;
}
