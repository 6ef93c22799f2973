// JSON functions. Documents are parsed by nlohmann::json; objects come out with their keys in sorted order and
// numbers in the host's plain decimal form, as FileMaker writes them. Paths name keys separated by "." and
// array indexes in brackets: "customers[0].name"; "[+]" is the position after the last element (to append) and
// "[:]" the last element. A document that cannot be read, or a path that does not fit it, gives a text that
// starts with "?" instead of failing the calculation, as FileMaker does.
#include "calc/Builtins.h"
#include "calc/Evaluator.h"
#include "calc/FunctionSupport.h"
#include "core/Encoding.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <string>
#include <vector>

namespace emu::calc
{
namespace
{
using Json = nlohmann::json;

// FileMaker's numbers for the types of JSONSetElement.
enum JsonType : int
{
    kJsonRaw = 0, kJsonString = 1, kJsonNumber = 2, kJsonObject = 3, kJsonArray = 4, kJsonBoolean = 5, kJsonNull = 6
};

// Numbers keep at most this many fractional digits when read from a document (the host's limit).
constexpr int kJsonNumberPrecision = 400;
// jsoncpp-style layout of JSONFormatElements: arrays of scalars stay on one line below this width.
constexpr std::size_t kRightMargin = 74;

// Deepest nesting of a document or a path. Writing a document recurses once per level, and documents may come
// from user data, so a hostile one must end in an error rather than overflow a server thread's stack.
constexpr int kMaxJsonDepth = 512;

struct JsonError
{
    std::string message;
};

void setError(Value &result, const std::string &message) { result.SetText(Utf8ToUtf16("? " + message)); }

// The document of a text; an empty text is an empty document (null), which JSONSetElement fills.
// With `firstElementOnly`, what follows the first element is ignored ("4,2" reads as 4), as JSONRaw reads values.
bool parseDocument(const Value &value, Json &document, std::string &error, bool firstElementOnly = false)
{
    std::string text = Utf16ToUtf8(value.AsText().Chars());
    if (text.find_first_not_of(" \t\r\n") == std::string::npos)
    {
        document = Json();
        return true;
    }
    const auto parse = [&document](const std::string &json) {
        document = Json::parse(json, [](int depth, Json::parse_event_t, Json &) {
            if (depth > kMaxJsonDepth)
                throw JsonError{"the document is nested more than " + std::to_string(kMaxJsonDepth) + " levels deep"};
            return true;
        });
    };
    try
    {
        try
        {
            parse(text);
        }
        catch (const Json::parse_error &e)
        {
            // The parser stops where the first element can go on no further: the text before that is the element,
            // when there is one.
            const std::size_t end = e.byte > 0 ? e.byte - 1 : 0;
            if (!firstElementOnly || end == 0 || end >= text.size() ||
                text.find_first_not_of(" \t\r\n") >= end)
                throw;
            parse(text.substr(0, end));
        }
        return true;
    }
    catch (const JsonError &e)
    {
        error = e.message;
        return false;
    }
    catch (const Json::exception &e) // parse errors, and numbers beyond a double
    {
        // "[json.exception.parse_error.101] parse error at line 1, column 2: ..." without the bracketed id.
        std::string what = e.what();
        std::size_t close = what.find("] ");
        error = close == std::string::npos ? what : what.substr(close + 2);
        return false;
    }
}

struct Step
{
    enum Kind { Key, Index, Append, Last } kind = Key;
    std::string key;
    std::size_t index = 0;
};

// An array index written in digits ("0" to "999999999").
bool indexOf(const std::string &digits, std::size_t &index)
{
    if (digits.empty() || digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos)
        return false;
    index = std::stoul(digits);
    return true;
}

// A key in brackets and quotes, ['key'] or ["key"]: it may hold "." and "[".
bool quotedKey(const std::string &inside, std::string &key)
{
    if (inside.size() < 2 || (inside[0] != '\'' && inside[0] != '"') || inside.back() != inside[0])
        return false;
    key = inside.substr(1, inside.size() - 2);
    return true;
}

bool parsePath(const std::string &path, std::vector<Step> &steps, std::string &error)
{
    std::size_t i = 0;
    while (i < path.size())
    {
        if (path[i] == '.')
        {
            ++i;
            continue;
        }
        Step step;
        if (path[i] != '[')
        {
            std::size_t end = path.find_first_of(".[", i);
            step.key = path.substr(i, end == std::string::npos ? std::string::npos : end - i);
            i = end == std::string::npos ? path.size() : end;
            steps.push_back(std::move(step));
            continue;
        }
        // A quoted key ends at its closing quote and bracket, whatever it holds.
        std::size_t close = i + 1 < path.size() && (path[i + 1] == '\'' || path[i + 1] == '"')
                                ? path.find(std::string(1, path[i + 1]) + "]", i + 2)
                                : path.find(']', i);
        if (close != std::string::npos && path[close] != ']')
            ++close;
        std::string inside = close == std::string::npos ? std::string() : path.substr(i + 1, close - i - 1);
        if (inside == "+")
            step.kind = Step::Append;
        else if (inside == ":")
            step.kind = Step::Last;
        else if (indexOf(inside, step.index))
            step.kind = Step::Index;
        else if (quotedKey(inside, step.key))
            step.kind = Step::Key;
        else
        {
            error = "the path \"" + path + "\" has an invalid array index";
            return false;
        }
        steps.push_back(std::move(step));
        i = close + 1;
    }
    if (steps.size() > static_cast<std::size_t>(kMaxJsonDepth))
    {
        error = "the path is longer than " + std::to_string(kMaxJsonDepth) + " steps";
        return false;
    }
    return true;
}

// The element at the path, or null when there is none.
const Json *find(const Json &document, const std::vector<Step> &steps)
{
    const Json *node = &document;
    for (const Step &step : steps)
    {
        std::size_t index = 0;
        if (step.kind == Step::Key && node->is_array() && indexOf(step.key, index))
        {
            // A key of digits names an element of an array: JSONGetElement ( "[ 10, 20 ]" ; 1 ) is 20.
            if (index >= node->size())
                return nullptr;
            node = &(*node)[index];
            continue;
        }
        if (step.kind == Step::Key)
        {
            if (!node->is_object())
                return nullptr;
            auto it = node->find(step.key);
            if (it == node->end())
                return nullptr;
            node = &*it;
            continue;
        }
        if (!node->is_array() || step.kind == Step::Append || node->empty())
            return nullptr;
        index = step.kind == Step::Last ? node->size() - 1 : step.index;
        if (index >= node->size())
            return nullptr;
        node = &(*node)[index];
    }
    return node;
}

// The element at the path, created with the objects and arrays that lead to it. An element in the way that
// is of another kind is not replaced: that would lose data.
Json &make(Json &document, const std::vector<Step> &steps)
{
    Json *node = &document;
    for (Step step : steps)
    {
        if (step.kind == Step::Key && node->is_array() && indexOf(step.key, step.index))
            step.kind = Step::Index; // a key of digits in an array is an index, as when reading
        bool wantObject = step.kind == Step::Key;
        if (node->is_null())
            *node = wantObject ? Json::object() : Json::array();
        if (wantObject != node->is_object() || (!wantObject && !node->is_array()))
            throw JsonError{wantObject ? "the path names a key inside an element that is not an object"
                                       : "the path names an index inside an element that is not an array"};
        if (wantObject)
            node = &(*node)[step.key];
        else if (step.kind == Step::Append || (step.kind == Step::Last && node->empty()))
            node = &node->emplace_back();
        else
            node = &(*node)[step.kind == Step::Last ? node->size() - 1 : step.index]; // pads with nulls
    }
    return *node;
}

Json fromNumber(const Number &number)
{
    constexpr double kExactIntegers = 9e18; // within int64_t
    if (number.IsInteger() && std::abs(number.ToDouble()) < kExactIntegers)
        return Json(number.ToInt64());
    return Json(number.ToDouble());
}

std::string numberText(const Json &number)
{
    if (number.is_number_unsigned())
        return std::to_string(number.get<uint64_t>());
    if (number.is_number_integer())
        return std::to_string(number.get<int64_t>());
    return Number::FromDouble(number.get<double>(), kJsonNumberPrecision).ToString();
}

std::string quoted(const std::string &text) { return Json(text).dump(-1, ' ', false, Json::error_handler_t::replace); }

// Compact form, keys in order, numbers in plain decimal.
void writeCompact(const Json &value, std::string &out)
{
    if (value.is_object())
    {
        out += '{';
        bool first = true;
        for (auto it = value.begin(); it != value.end(); ++it, first = false)
        {
            out += first ? "" : ",";
            out += quoted(it.key());
            out += ':';
            writeCompact(it.value(), out);
        }
        out += '}';
    }
    else if (value.is_array())
    {
        out += '[';
        for (std::size_t i = 0; i < value.size(); ++i)
        {
            out += i ? "," : "";
            writeCompact(value[i], out);
        }
        out += ']';
    }
    else if (value.is_number())
        out += numberText(value);
    else if (value.is_string())
        out += quoted(value.get<std::string>());
    else
        out += value.dump();
}

std::string compact(const Json &value)
{
    std::string out;
    writeCompact(value, out);
    return out;
}

// JSONFormatElements' layout: a tab per level, " : " after keys, objects and arrays that hold containers on
// lines of their own, short arrays of scalars on one line ("[ 1, 2 ]"). Lines end with a carriage return.
class Formatter
{
public:
    std::string format(const Json &value)
    {
        indented_ = true;
        writeValue(value);
        return out_;
    }

private:
    std::string out_;
    std::string indent_;
    bool indented_ = false;

    void newLine() { out_ += '\r'; out_ += indent_; }
    void withIndent(const std::string &text)
    {
        if (!indented_)
            newLine();
        out_ += text;
        indented_ = false;
    }

    void writeValue(const Json &value)
    {
        if (value.is_object() && !value.empty())
        {
            withIndent("{");
            indent_ += '\t';
            for (auto it = value.begin(); it != value.end();)
            {
                withIndent(quoted(it.key()));
                out_ += " : ";
                writeValue(it.value());
                if (++it != value.end())
                    out_ += ',';
            }
            indent_.pop_back();
            withIndent("}");
        }
        else if (value.is_array() && !value.empty())
            writeArray(value);
        else
            out_ += value.is_object() ? "{}" : value.is_array() ? "[]" : compact(value);
    }

    void writeArray(const Json &value)
    {
        bool multiLine = value.size() * 3 >= kRightMargin;
        for (const Json &child : value)
            multiLine = multiLine || ((child.is_array() || child.is_object()) && !child.empty());
        std::vector<std::string> children;
        if (!multiLine)
        {
            std::size_t width = 4 + (value.size() - 1) * 2;
            for (const Json &child : value)
                width += children.emplace_back(child.is_object() ? "{}" : child.is_array() ? "[]" : compact(child)).size();
            multiLine = width >= kRightMargin;
        }
        if (!multiLine)
        {
            out_ += "[ ";
            for (std::size_t i = 0; i < children.size(); ++i)
                out_ += (i ? ", " : "") + children[i];
            out_ += " ]";
            return;
        }
        withIndent("[");
        indent_ += '\t';
        for (std::size_t i = 0; i < value.size(); ++i)
        {
            if (!indented_)
                newLine();
            indented_ = true;
            writeValue(value[i]);
            indented_ = false;
            if (i + 1 < value.size())
                out_ += ',';
        }
        indent_.pop_back();
        withIndent("]");
    }
};

// An element as JSONGetElement and JSONListValues answer it: a string without quotes, a number as a number,
// true and false as 1 and 0, null as empty, objects and arrays in compact form.
void setElement(Value &result, const Json &element)
{
    if (element.is_string())
        result.SetText(Utf8ToUtf16(element.get<std::string>()));
    else if (element.is_number())
    {
        Number number;
        Number::ParseLiteral(Utf8ToUtf16(numberText(element)), number);
        setNumber(result, number);
    }
    else if (element.is_boolean())
        setBoolean(result, element.get<bool>());
    else if (element.is_null())
        result.SetText(Text());
    else
        result.SetText(Utf8ToUtf16(compact(element)));
}

// Evaluates the document (argument 0) and answers f(document); when it cannot be read the result is the "?" text.
template <typename F>
short withDocument(Evaluator &evaluator, const Node &call, Value &result, F &&f)
{
    Value source;
    if (short code = argument(evaluator, call, 0, source))
        return code;
    // A value JSONParse found not valid holds its error message: the function answers that message.
    if (source.JsonState() < 0)
    {
        result.SetText(source.AsText());
        return kCalcOK;
    }
    Json document;
    std::string error;
    if (parseDocument(source, document, error))
        return f(document);
    setError(result, error);
    return kCalcOK;
}

// The same with a path (argument 1) that names an element: f(document, steps).
template <typename F>
short withLocated(Evaluator &evaluator, const Node &call, Value &result, F &&f)
{
    return withDocument(evaluator, call, result, [&](Json &document) {
        Value path;
        if (short code = argument(evaluator, call, 1, path))
            return code;
        std::vector<Step> steps;
        std::string error;
        if (parsePath(Utf16ToUtf8(path.AsText().Chars()), steps, error))
            f(document, steps);
        else
            setError(result, error);
        return static_cast<short>(kCalcOK);
    });
}

// JSONSetElement's element from a value and a type.
Json elementOf(const Value &value, int type)
{
    const std::string text = Utf16ToUtf8(value.AsText().Chars());
    switch (type)
    {
    case kJsonString: return Json(text);
    case kJsonNumber:
    {
        Number number;
        bool isNumber = value.Type() == kDTText ? Number::FromText(value.AsText().Chars(), number) : !value.IsEmpty();
        if (value.Type() != kDTText)
            number = value.AsNumber();
        if (!isNumber)
            throw JsonError{"\"" + text + "\" is not a number"};
        return fromNumber(number);
    }
    case kJsonBoolean:
        if (EqualIgnoringCase(value.AsText().Chars(), u"true") || EqualIgnoringCase(value.AsText().Chars(), u"false"))
            return Json(EqualIgnoringCase(value.AsText().Chars(), u"true"));
        return Json(value.AsBoolean());
    case kJsonNull: return Json();
    case kJsonObject:
    case kJsonArray:
    case kJsonRaw:
    {
        Json parsed;
        std::string error;
        bool read = parseDocument(value, parsed, error, type == kJsonRaw);
        if (type == kJsonRaw)
        {
            // An empty value reads as a null document too, but only a written null is one.
            std::size_t first = text.find_first_not_of(" \t\r\n");
            bool null = first != std::string::npos && text.compare(first, 4, "null") == 0;
            return read && !parsed.is_null() ? parsed : read && null ? Json() : Json(text);
        }
        if (read && parsed.is_null())
            return type == kJsonObject ? Json::object() : Json::array();
        if (!read || parsed.is_object() != (type == kJsonObject) || parsed.is_array() != (type == kJsonArray))
            throw JsonError{read ? std::string(type == kJsonObject ? "the value is not a JSON object"
                                                                   : "the value is not a JSON array")
                                 : error};
        return parsed;
    }
    default: throw JsonError{"the type " + std::to_string(type) + " is not a JSON type"};
    }
}

short setOne(Evaluator &evaluator, const Node &path, const Node &value, const Node &type, Json &document)
{
    Value pathValue, element, typeValue;
    if (short code = evaluator.evaluate(path, pathValue))
        return code;
    if (short code = evaluator.evaluate(value, element))
        return code;
    if (short code = evaluator.evaluate(type, typeValue))
        return code;
    std::vector<Step> steps;
    std::string error;
    if (!parsePath(Utf16ToUtf8(pathValue.AsText().Chars()), steps, error))
        throw JsonError{error};
    make(document, steps) = elementOf(element, static_cast<int>(wholeNumber(numberOf(typeValue))));
    return kCalcOK;
}

short setElements(Evaluator &evaluator, const Node &call, bool listForm, Json &document, Value &result);

// The JSON state JSONSetElement's result carries: it comes out parsed, its root's type known.
int8_t parsedState(const Json &document)
{
    if (document.is_object())
        return kJsonObject;
    if (document.is_array())
        return kJsonArray;
    if (document.is_string())
        return kJsonString;
    if (document.is_number())
        return kJsonNumber;
    return document.is_boolean() ? kJsonBoolean : kJsonNull;
}

// JSONSetElement ( json ; keyOrIndexOrPath ; value ; type ) or ( json ; [ path1 ; value1 ; type1 ] ; ... )
short jsonSetElement(Evaluator &evaluator, const Node &call, Value &result)
{
    bool listForm = false;
    if (short code = checkListForm(evaluator, call, 4, 3, "JSONSetElement takes a path, a value and a type, or "
                                                          "[ path ; value ; type ] lists", listForm))
        return code;
    return withDocument(evaluator, call, result, [&](Json &document) -> short {
        return setElements(evaluator, call, listForm, document, result);
    });
}

short setElements(Evaluator &evaluator, const Node &call, bool listForm, Json &document, Value &result)
{
    try
    {
        if (!listForm)
        {
            if (short code = setOne(evaluator, *call.args[1], *call.args[2], *call.args[3], document))
                return code;
        }
        else
            for (std::size_t i = 1; i < call.args.size(); ++i)
            {
                const Node &list = *call.args[i];
                if (short code = setOne(evaluator, *list.args[0], *list.args[1], *list.args[2], document))
                    return code;
            }
    }
    catch (const JsonError &e)
    {
        setError(result, e.message);
        return kCalcOK;
    }
    result.SetText(Utf8ToUtf16(compact(document)));
    result.SetJsonState(parsedState(document));
    return kCalcOK;
}

// JSONMakeArray ( listOfValues ; separator ; type ): an array of the values, each made an element of the type as
// JSONSetElement makes one. An empty separator splits at every value separator, as the value functions do.
short jsonMakeArray(Evaluator &evaluator, const Node &call, Value &result)
{
    Value list, separator;
    Number type;
    if (short code = arguments(evaluator, call, 0, list, separator, type))
        return code;
    const std::u16string &chars = list.AsText().Chars();
    const std::u16string &between = separator.AsText().Chars();
    Json array = Json::array();
    auto add = [&](std::size_t start, std::size_t length) {
        Value item;
        item.SetText(Text(chars.substr(start, length)));
        array.push_back(elementOf(item, static_cast<int>(wholeNumber(type))));
        return true;
    };
    try
    {
        if (between.empty())
            forEachValue(chars, add);
        else if (!chars.empty())
        {
            std::size_t start = 0;
            for (std::size_t at; (at = chars.find(between, start)) != std::u16string::npos; start = at + between.size())
                add(start, at - start);
            add(start, chars.size() - start);
        }
    }
    catch (const JsonError &e)
    {
        setError(result, e.message);
        return kCalcOK;
    }
    result.SetText(Utf8ToUtf16(compact(array)));
    return kCalcOK;
}

short jsonGetElement(Evaluator &evaluator, const Node &call, Value &result)
{
    return withLocated(evaluator, call, result, [&](const Json &document, const std::vector<Step> &steps) {
        const Json *element = find(document, steps);
        if (element)
            setElement(result, *element);
        else
            result.SetText(Text());
    });
}

// JSONGetElementType: the type number of the element (JSONString 1 ... JSONNull 6, never JSONRaw); a missing
// element is the "?" text, as a document that cannot be read.
short jsonGetElementType(Evaluator &evaluator, const Node &call, Value &result)
{
    return withLocated(evaluator, call, result, [&](const Json &document, const std::vector<Step> &steps) {
        const Json *element = find(document, steps);
        if (!element)
        {
            setError(result, "Incorrect key, index, or path");
            return;
        }
        int type = element->is_string() ? kJsonString
                   : element->is_number() ? kJsonNumber
                   : element->is_object() ? kJsonObject
                   : element->is_array()  ? kJsonArray
                   : element->is_boolean() ? kJsonBoolean
                                           : kJsonNull;
        setNumber(result, Number::FromInt(type));
    });
}

// The document without the element; unchanged (but in compact form) when there is no such element.
short jsonDeleteElement(Evaluator &evaluator, const Node &call, Value &result)
{
    return withLocated(evaluator, call, result, [&](Json &document, std::vector<Step> &steps) {
        if (!steps.empty())
        {
            Step last = steps.back();
            steps.pop_back();
            Json *parent = const_cast<Json *>(find(document, steps));
            if (parent && parent->is_object() && last.kind == Step::Key)
                parent->erase(last.key);
            else if (parent && parent->is_array() && last.kind == Step::Key)
            {
                // Only a key of digits names an element of an array; any other names none.
                if (indexOf(last.key, last.index) && last.index < parent->size())
                    parent->erase(last.index);
            }
            else if (parent && parent->is_array() && !parent->empty() && last.kind != Step::Append)
            {
                std::size_t index = last.kind == Step::Last ? parent->size() - 1 : last.index;
                if (index < parent->size())
                    parent->erase(index);
            }
        }
        result.SetText(Utf8ToUtf16(compact(document)));
    });
}

// JSONListKeys: an object's keys or an array's indexes; JSONListValues: the elements. One per line, nothing
// for a scalar or a missing element.
template <bool Keys>
short jsonList(Evaluator &evaluator, const Node &call, Value &result)
{
    return withLocated(evaluator, call, result, [&](const Json &document, const std::vector<Step> &steps) {
        const Json *element = find(document, steps);
        Text out;
        if (element && (element->is_object() || element->is_array()))
        {
            std::size_t index = 0;
            for (auto it = element->begin(); it != element->end(); ++it, ++index)
            {
                if (index)
                    out.AppendPlain(u"\r");
                if (Keys)
                    out.AppendPlain(element->is_object() ? Utf8ToUtf16(it.key()) : Utf8ToUtf16(std::to_string(index)));
                else
                {
                    Value item;
                    setElement(item, it.value());
                    out.Append(item.AsText());
                }
            }
        }
        result.SetText(out);
    });
}

short jsonFormatElements(Evaluator &evaluator, const Node &call, Value &result)
{
    return withDocument(evaluator, call, result, [&](const Json &document) {
        result.SetText(document.is_null() ? std::u16string() : Utf8ToUtf16(Formatter().format(document)));
        return static_cast<short>(kCalcOK);
    });
}

template <int Type>
short jsonType(Evaluator &, const Node &, Value &result)
{
    setNumber(result, Number::FromInt(Type));
    return kCalcOK;
}

const BuiltinRegistration registration({
    {"JSONSetElement", 2, -1, &jsonSetElement},
    {"JSONGetElement", 2, 2, &jsonGetElement},
    {"JSONGetElementType", 2, 2, &jsonGetElementType},
    {"JSONMakeArray", 3, 3, &jsonMakeArray},
    {"JSONDeleteElement", 2, 2, &jsonDeleteElement},
    {"JSONListKeys", 2, 2, &jsonList<true>},
    {"JSONListValues", 2, 2, &jsonList<false>},
    {"JSONFormatElements", 1, 1, &jsonFormatElements},
    {"JSONRaw", 0, 0, &jsonType<kJsonRaw>},
    {"JSONString", 0, 0, &jsonType<kJsonString>},
    {"JSONNumber", 0, 0, &jsonType<kJsonNumber>},
    {"JSONObject", 0, 0, &jsonType<kJsonObject>},
    {"JSONArray", 0, 0, &jsonType<kJsonArray>},
    {"JSONBoolean", 0, 0, &jsonType<kJsonBoolean>},
    {"JSONNull", 0, 0, &jsonType<kJsonNull>},
});
} // namespace
} // namespace emu::calc
