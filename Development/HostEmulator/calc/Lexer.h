// Splits a calculation text into tokens.
#pragma once

#include "calc/CalcErrors.h"

#include <string>
#include <vector>

namespace emu::calc
{
enum class Tok : unsigned char
{
    End,
    Number,      // text holds the literal as written
    Text,        // text holds the value, escapes resolved
    Name,        // function, Let variable or Get selector; text as written
    Variable,    // $name or $$name; text as written, dollars included
    Pilcrow,     // the ¶ constant outside quotes
    LParen, RParen, LBracket, RBracket, Separator,
    Ampersand, Plus, Minus, Star, Slash, Caret,
    Equal, NotEqual, Less, Greater, LessEqual, GreaterEqual,
    And, Or, Xor, Not,
    Invalid,     // a character that starts no token
};

struct Token
{
    Tok kind = Tok::End;
    std::size_t position = 0;
    std::u16string text;
};

// Tokenises the whole text. On a lexical error (unterminated text or comment) returns false and fills failure.
bool tokenize(const std::u16string &source, std::vector<Token> &tokens, Failure &failure);

// Case folding used for every name the language compares (functions, Get selectors, variables).
std::u16string foldName(const std::u16string &name);
} // namespace emu::calc
