#include "scriptclip/ScriptParser.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "scriptclip/ScriptError.h"

namespace vc::scriptclip {

namespace {

struct TToken {
  enum class TKind { Name, Int, Float, String, Operator, Separator, End };
  TKind Kind = TKind::End;
  std::string Text;
  int Line = 1;
  int Column = 1;
};

std::string where(int line, int column) {
  return " (line " + std::to_string(line) + ", column " + std::to_string(column) + ")";
}

class TLexer final {
 public:
  explicit TLexer(std::string_view text) : FText(text) {}

  std::vector<TToken> Run() {
    std::vector<TToken> tokens;
    for (;;) {
      skipBlanks();
      TToken token;
      token.Line = FLine;
      token.Column = column();
      if (FPos >= FText.size()) {
        tokens.push_back(token);
        return tokens;
      }
      const char c = FText[FPos];
      if (c == '\n' || c == ';') {
        token.Kind = TToken::TKind::Separator;
        token.Text = c;
        advance();
      } else if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
        token.Kind = TToken::TKind::Name;
        while (FPos < FText.size() && (std::isalnum(static_cast<unsigned char>(FText[FPos])) || FText[FPos] == '_'))
          token.Text += FText[FPos], advance();
      } else if (std::isdigit(static_cast<unsigned char>(c))) {
        readNumber(token);
      } else if (c == '"') {
        readString(token);
      } else {
        readOperator(token);
      }
      tokens.push_back(std::move(token));
    }
  }

 private:
  int column() const { return static_cast<int>(FPos - FLineStart) + 1; }

  void advance() {
    if (FText[FPos] == '\n') {
      ++FLine;
      FLineStart = FPos + 1;
    }
    ++FPos;
  }

  void skipBlanks() {
    while (FPos < FText.size()) {
      const char c = FText[FPos];
      if (c == ' ' || c == '\t' || c == '\r') {
        advance();
      } else if (c == '#') {
        while (FPos < FText.size() && FText[FPos] != '\n') advance();
      } else {
        return;
      }
    }
  }

  void readNumber(TToken& token) {
    token.Kind = TToken::TKind::Int;
    while (FPos < FText.size() && std::isdigit(static_cast<unsigned char>(FText[FPos]))) token.Text += FText[FPos], advance();
    // "1.5" is a number; "1.Invert" would be a method call on 1.
    if (FPos + 1 < FText.size() && FText[FPos] == '.' && std::isdigit(static_cast<unsigned char>(FText[FPos + 1]))) {
      token.Kind = TToken::TKind::Float;
      token.Text += '.';
      advance();
      while (FPos < FText.size() && std::isdigit(static_cast<unsigned char>(FText[FPos]))) token.Text += FText[FPos], advance();
    }
  }

  // "text" holds no quote; """text""" may hold single quotes. There are no escapes.
  void readString(TToken& token) {
    token.Kind = TToken::TKind::String;
    const bool triple = FText.substr(FPos, 3) == "\"\"\"";
    const std::string_view close = triple ? "\"\"\"" : "\"";
    for (size_t i = 0; i < close.size(); ++i) advance();
    const size_t end = FText.find(close, FPos);
    if (end == std::string_view::npos) throw TScriptError("the string has no closing quote" + where(token.Line, token.Column));
    token.Text = std::string(FText.substr(FPos, end - FPos));
    while (FPos < end + close.size()) advance();
  }

  void readOperator(TToken& token) {
    static const char* const pairs[] = {"==", "!=", "<=", ">=", "&&", "||"};
    token.Kind = TToken::TKind::Operator;
    for (const char* pair : pairs) {
      if (FText.substr(FPos, 2) == pair) {
        token.Text = pair;
        advance();
        advance();
        return;
      }
    }
    const char c = FText[FPos];
    if (std::string_view("(),=.+-*/%<>!?:").find(c) == std::string_view::npos)
      throw TScriptError(std::string("unexpected character '") + c + "'" + where(FLine, column()));
    token.Text = c;
    advance();
  }

  std::string_view FText;
  size_t FPos = 0;
  size_t FLineStart = 0;
  int FLine = 1;
};

using TNodePtr = std::unique_ptr<TNode>;

class TParser final {
 public:
  explicit TParser(std::vector<TToken> tokens) : FTokens(std::move(tokens)) {}

  TScript Run() {
    TScript script;
    for (;;) {
      while (peek().Kind == TToken::TKind::Separator) next();
      if (peek().Kind == TToken::TKind::End) return script;
      script.Statements.push_back(statement());
      if (peek().Kind != TToken::TKind::Separator && peek().Kind != TToken::TKind::End)
        fail("expected the end of the statement");
    }
  }

 private:
  const TToken& peek(size_t ahead = 0) const {
    const size_t at = std::min(FPos + ahead, FTokens.size() - 1);
    return FTokens[at];
  }
  const TToken& next() {
    const TToken& token = FTokens[FPos];
    if (FPos + 1 < FTokens.size()) ++FPos;
    return token;
  }
  bool isOperator(const char* text, size_t ahead = 0) const {
    return peek(ahead).Kind == TToken::TKind::Operator && peek(ahead).Text == text;
  }
  [[noreturn]] void fail(const std::string& what) const {
    const TToken& token = peek();
    const std::string found = token.Kind == TToken::TKind::End         ? "the end of the script"
                              : token.Kind == TToken::TKind::Separator ? "the end of the line"
                                                                       : "\"" + token.Text + "\"";
    throw TScriptError(what + ", found " + found + where(token.Line, token.Column));
  }
  void expect(const char* text) {
    if (!isOperator(text)) fail(std::string("expected \"") + text + "\"");
    next();
  }

  TNodePtr make(TNode::TKind kind, const TToken& at) {
    auto node = std::make_unique<TNode>();
    node->Kind = kind;
    node->Line = at.Line;
    node->Column = at.Column;
    return node;
  }
  TNodePtr adopt(TNodePtr node, TNodePtr child) {
    node->Depth = std::max(node->Depth, child->Depth + 1);
    if (node->Depth > kMaxExpressionDepth)
      throw TScriptError("the expression nests too deeply" + where(node->Line, node->Column));
    node->Children.push_back(std::move(child));
    return node;
  }

  TStatement statement() {
    TStatement result;
    if (peek().Kind == TToken::TKind::Name && isOperator("=", 1)) {
      result.Variable = next().Text;
      next();
    }
    result.Value = expression();
    return result;
  }

  TNodePtr expression() {
    TNodePtr condition = binary(0);
    if (!isOperator("?")) return condition;
    const TToken at = next();
    TNodePtr node = make(TNode::TKind::Conditional, at);
    node = adopt(std::move(node), std::move(condition));
    node = adopt(std::move(node), nested());
    expect(":");
    return adopt(std::move(node), nested());
  }

  // Binary operators by rising precedence; all associate to the left.
  TNodePtr binary(int level) {
    static const std::vector<std::vector<const char*>> levels = {
        {"||"}, {"&&"}, {"==", "!=", "<", ">", "<=", ">="}, {"+", "-"}, {"*", "/", "%"}};
    if (level == static_cast<int>(levels.size())) return unary();
    TNodePtr left = binary(level + 1);
    for (;;) {
      const char* op = nullptr;
      for (const char* candidate : levels[static_cast<size_t>(level)])
        if (isOperator(candidate)) op = candidate;
      if (!op) return left;
      const TToken at = next();
      TNodePtr node = make(TNode::TKind::Binary, at);
      node->Text = op;
      node = adopt(std::move(node), std::move(left));
      left = adopt(std::move(node), binary(level + 1));
    }
  }

  TNodePtr unary() {
    if (isOperator("-") || isOperator("+") || isOperator("!")) {
      const TToken at = next();
      TNodePtr node = make(TNode::TKind::Unary, at);
      node->Text = at.Text;
      ++FUnaryDepth;
      if (FUnaryDepth > kMaxExpressionDepth) throw TScriptError("the expression nests too deeply" + where(at.Line, at.Column));
      TNodePtr operand = unary();
      --FUnaryDepth;
      return adopt(std::move(node), std::move(operand));
    }
    return postfix();
  }

  TNodePtr postfix() {
    TNodePtr object = primary();
    while (isOperator(".")) {
      next();
      if (peek().Kind != TToken::TKind::Name) fail("expected a function name after \".\"");
      const TToken& name = next();
      TNodePtr call = make(TNode::TKind::Call, name);
      call->Text = name.Text;
      call->Method = true;
      call->ArgumentNames.emplace_back();
      call = adopt(std::move(call), std::move(object));
      if (isOperator("(")) call = arguments(std::move(call));
      object = std::move(call);
    }
    return object;
  }

  TNodePtr arguments(TNodePtr call) {
    expect("(");
    if (!isOperator(")")) {
      for (;;) {
        std::string name;
        if (peek().Kind == TToken::TKind::Name && isOperator("=", 1)) {
          name = next().Text;
          next();
        } else if (!call->ArgumentNames.empty() && !call->ArgumentNames.back().empty()) {
          fail("expected a named argument after a named one");
        }
        call = adopt(std::move(call), nested());
        call->ArgumentNames.push_back(std::move(name));
        if (!isOperator(",")) break;
        next();
      }
    }
    expect(")");
    return call;
  }

  // An expression inside parentheses or a branch of "?:": counted, since each level recurses.
  TNodePtr nested() {
    if (++FNesting > kMaxExpressionDepth) throw TScriptError("the expression nests too deeply" + where(peek().Line, peek().Column));
    TNodePtr node = expression();
    --FNesting;
    return node;
  }

  TNodePtr primary() {
    const TToken& token = peek();
    switch (token.Kind) {
      case TToken::TKind::Int: {
        TNodePtr node = make(TNode::TKind::Int, token);
        errno = 0;
        const long long value = std::strtoll(token.Text.c_str(), nullptr, 10);
        if (errno == ERANGE || value > INT_MAX) throw TScriptError("the number " + token.Text + " is too large" + where(token.Line, token.Column));
        node->Int = static_cast<int>(value);
        next();
        return node;
      }
      case TToken::TKind::Float: {
        TNodePtr node = make(TNode::TKind::Float, token);
        node->Float = std::strtod(token.Text.c_str(), nullptr);
        next();
        return node;
      }
      case TToken::TKind::String: {
        TNodePtr node = make(TNode::TKind::String, token);
        node->Text = token.Text;
        next();
        return node;
      }
      case TToken::TKind::Name: {
        const TToken at = next();
        std::string lowered = at.Text;
        for (char& c : lowered) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (lowered == "true" || lowered == "false") {
          TNodePtr node = make(TNode::TKind::Bool, at);
          node->Bool = lowered == "true";
          return node;
        }
        if (isOperator("(")) {
          TNodePtr call = make(TNode::TKind::Call, at);
          call->Text = at.Text;
          return arguments(std::move(call));
        }
        TNodePtr node = make(TNode::TKind::Name, at);
        node->Text = at.Text;
        return node;
      }
      case TToken::TKind::Operator:
        if (token.Text == "(") {
          next();
          TNodePtr inner = nested();
          expect(")");
          return inner;
        }
        break;
      default:
        break;
    }
    fail("expected a value");
  }

  std::vector<TToken> FTokens;
  size_t FPos = 0;
  int FNesting = 0;
  int FUnaryDepth = 0;
};

}  // namespace

TScript ParseScript(std::string_view text) { return TParser(TLexer(text).Run()).Run(); }

}  // namespace vc::scriptclip
