#pragma once
// Reads the text of a script into statements and expression trees (the language is described in
// the README). Errors name the line and column where reading stopped.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vc::scriptclip {

struct TNode {
  enum class TKind { Int, Float, String, Bool, Name, Call, Unary, Binary, Conditional };
  TKind Kind = TKind::Int;
  int Line = 1;
  int Column = 1;
  int Int = 0;
  double Float = 0;
  bool Bool = false;
  std::string Text;  // string literal, name, function name or operator
  // Call: the arguments, the object of a method call ("a.f(x)") first. Unary, Binary and
  // Conditional: the operands.
  std::vector<std::unique_ptr<TNode>> Children;
  std::vector<std::string> ArgumentNames;  // per argument of a call; empty for positional ones
  bool Method = false;                     // Children[0] is the object of a method call
  int Depth = 1;                           // of the tree below and including this node
};

struct TStatement {
  std::string Variable;  // empty for an expression whose clip becomes last
  std::unique_ptr<TNode> Value;
};

struct TScript {
  std::vector<TStatement> Statements;
};

// Throws TScriptError.
TScript ParseScript(std::string_view text);

// How deep expressions may nest: deeper ones are an error, so that neither reading nor running a
// script can exhaust the stack.
inline constexpr int kMaxExpressionDepth = 200;

}  // namespace vc::scriptclip
