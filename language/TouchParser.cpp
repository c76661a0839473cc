#include "language/TouchParser.h"

#include <memory>

#include "language/ProcessState.h"
#include "rows/ProcessState.h"
#include "touch/Block.h"
#include "touch/ProcessState.h"

namespace {

Block& NewBlock(char letter) {
  return *languageState.parsedBlocks.emplace_back(std::make_unique<Block>(letter));
}

void FinishLastChild(Block& block) {
  if (!block.children.empty()) {
    block.children.back()->Finish();
  }
}

}  // namespace

void TouchParser::Parse(Block& block, bool top) {
  TouchSettings& settings = languageState.settings;
  if (top) {
    settings.SetDefaults();
  }
  Token token;
  for (;;) {
    reader.ReadToken(token);
    switch (token.type) {
      case TokenType::Error:
        break;
      case TokenType::Bells:
        settings.ApplyBellCount(token.SignedValue());
        break;
      case TokenType::Start:
        if (!settings.SetStart(token.SignedValue(), token.letter)) {
          ReportUnexpected(token, err);  // no row of a six
        }
        break;
      case TokenType::Header:
        if (settings.headerBlock != nullptr) {
          ReportUnexpected(token, err);
        } else {
          Block& header = NewBlock(0);
          settings.headerBlock = &header;
          Parse(header, false);
        }
        break;
      case TokenType::Method:
        settings.SelectMethod(static_cast<char>(token.value));
        break;
      case TokenType::Call:
        (void)block.AddCall(token);
        break;
      case TokenType::CallDefinition:
        rowsState.callTable.DefineCall(token.text);
        break;
      case TokenType::BlockLetter:
        if (!BlockLetter(block, token)) {
          block.Finish();
          return;
        }
        break;
      case TokenType::SixesPerCourse:
        settings.SetSixesPerCourse(token.SignedValue());
        break;
      case TokenType::Length:
        (void)block.SetLength(token.SignedValue());
        break;
      case TokenType::Open:
      case TokenType::Close:
      case TokenType::End:
        block.Finish();
        return;
      case TokenType::Title:
        block.captions.push_back(token.text);
        break;
      case TokenType::Rule:
        FinishLastChild(block);
        block.AppendChild(*touchState.separator);
        break;
    }
  }
}

bool TouchParser::BlockLetter(Block& block, Token& token) {
  FinishLastChild(block);
  const char letter = static_cast<char>(token.value);
  if (Block* found = languageState.blockTable.Find(letter)) {
    if (found->IsOpen()) {
      // Its definition is still being read: using it here would make the touch contain itself.
      ReportUnexpected(token, err);
    } else {
      block.AppendChild(*found);
    }
    return true;
  }
  reader.ReadToken(token);
  if (token.type == TokenType::Open) {
    Block& defined = NewBlock(letter);
    Parse(defined, false);
    block.AppendChild(defined);
    return true;
  }
  ReportUnexpected(token, err);
  return token.type != TokenType::End;
}
