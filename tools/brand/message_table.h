// The launcher's messages: read from a UTF-8 messages file (one "id=text"
// line each), checked against the texts the launcher holds, and written as
// string table blocks of sixteen strings, the form LoadStringW reads.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "brand/resource_tree.h"

using Messages = std::map<std::uint16_t, std::u16string>;

// The ids the launcher loads (resources/resource_ids.h): every one must be given.
constexpr std::uint16_t kFirstMessageId = 202;
constexpr std::uint16_t kLastMessageId = 232;

// Lines of "id=text"; blank lines and lines starting with "#" are skipped, a
// byte-order mark is dropped, and in the text "\n" is a line feed, "\t" a
// tab and "\\" a backslash. Refuses a line it cannot read, naming it.
Messages parseMessagesFile(std::string_view text);

// The printf conversions of a text in order ("%s", "%d", ...); "%%" is none.
std::string placeholdersOf(std::u16string_view text);

// Refuses, naming the id, a message missing from the given ones, one the
// launcher does not have, or one whose placeholders differ from the
// launcher's text.
void checkMessages(const Messages& given, const Messages& launcher);

// Every string of the tree's string tables (of the first language a block has).
Messages readStringTable(const ResourceTree& tree);

// Replaces the string table blocks holding the messages, in every language,
// with blocks in the given language.
void replaceStringTable(ResourceTree& tree, const Messages& messages, std::uint16_t language);

// The language of the launcher's string table blocks, if it has any.
std::optional<std::uint16_t> stringTableLanguage(const ResourceTree& tree);
