// JSON written as it is made, element by element, laid out as a two-space indented dump with
// small values on one line: a long report never has to be held whole. Text goes out through
// a buffer of bounded size, so that a report of millions of lines is not slowed by stdio.
#pragma once

#include <cstdio>
#include <functional>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <vector>

// Where text goes: a file, or the program that prints it.
using TextSink = std::function<void(std::string_view text)>;
// A sink that writes into the open file.
TextSink FileSink(std::FILE* file);

// Text for a sink, passed on whenever a few kilobytes have gathered, and at the end.
struct TextOut {
    TextSink sink;
    std::string pending;

    explicit TextOut(TextSink target) : sink(std::move(target)) {}
    TextOut(const TextOut&) = delete;
    TextOut& operator=(const TextOut&) = delete;
    ~TextOut() { Flush(); }

    void Put(std::string_view text) {
        pending.append(text);
        if (pending.size() >= 1 << 16) Flush();
    }
    void Put(char c) { Put(std::string_view(&c, 1)); }
    void PutNumber(uint64_t number);
    void Flush();
};

struct JsonStream {
    TextOut out;

    explicit JsonStream(TextSink target) : out(std::move(target)) {}

    void BeginObject() { Open('{'); }
    void EndObject() { Close('}'); }
    void BeginArray() { Open('['); }
    void EndArray() { Close(']'); }
    // Inside an object: the key of the element that follows.
    void Key(const std::string& key);
    // A whole element on one line. Text that is not UTF-8 (a path) has its bytes replaced.
    void Value(const nlohmann::ordered_json& value);
    // A whole element already written as JSON text.
    void RawValue(std::string_view text);
    // A member of an object: Key, then Value.
    void Member(const std::string& key, const nlohmann::ordered_json& value) {
        Key(key);
        Value(value);
    }

private:
    std::vector<bool> levelEmpty;  // one per open object or array: nothing in it yet
    bool afterKey = false;

    void BeforeElement();
    void Open(char bracket);
    void Close(char bracket);
    void NewLine();
};
