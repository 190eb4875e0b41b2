#include "export/json_stream.h"

#include <charconv>

namespace {

std::string Dump(const nlohmann::ordered_json& value) {
    return value.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

}  // namespace

TextSink FileSink(std::FILE* file) {
    return [file](std::string_view text) { std::fwrite(text.data(), 1, text.size(), file); };
}

void TextOut::PutNumber(uint64_t number) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
    Put(std::string_view(digits, static_cast<size_t>(end - digits)));
}

void TextOut::Flush() {
    if (pending.empty()) return;
    sink(pending);
    pending.clear();
}

void JsonStream::NewLine() {
    out.Put('\n');
    for (size_t i = 0; i < levelEmpty.size(); ++i) out.Put("  ");
}

void JsonStream::BeforeElement() {
    if (afterKey) {
        afterKey = false;
        return;
    }
    if (levelEmpty.empty()) return;
    if (!levelEmpty.back()) out.Put(',');
    levelEmpty.back() = false;
    NewLine();
}

void JsonStream::Key(const std::string& key) {
    BeforeElement();
    out.Put(Dump(key));
    out.Put(": ");
    afterKey = true;
}

void JsonStream::Value(const nlohmann::ordered_json& value) {
    BeforeElement();
    out.Put(Dump(value));
}

void JsonStream::RawValue(std::string_view text) {
    BeforeElement();
    out.Put(text);
}

void JsonStream::Open(char bracket) {
    BeforeElement();
    out.Put(bracket);
    levelEmpty.push_back(true);
}

void JsonStream::Close(char bracket) {
    const bool empty = levelEmpty.back();
    levelEmpty.pop_back();
    if (!empty) NewLine();
    out.Put(bracket);
    if (levelEmpty.empty()) {
        out.Put('\n');
        out.Flush();
    }
}
