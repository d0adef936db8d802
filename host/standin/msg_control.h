#pragma once
// Test seams of the message stand-in: what was shown, posted and reported, scripted answers.

#include <string>
#include <utility>
#include <vector>

class MSG_BASE;

namespace standin::msg
{
struct message_record
{
    std::string kind; // "O", "OC", "YN", "YNC", "E", "I", "W"; "" for a null message
    unsigned int id = 0;
    std::string text; // rendered visible text
    std::string help_key;
    std::vector<message_record> children;
};

struct internal_error
{
    std::string expression;
    std::string module;
    std::string file;
    int line = 0;
};

message_record record_of(MSG_BASE* message);

const std::vector<message_record>& shown();
const std::vector<message_record>& posted();

// Answers for show(), consumed in order; with none queued the kind's default answers
// (YN/YNC 6, OC 1, O 1). In strict mode a question with no queued answer is recorded
// as a failure in unexpected_questions().
void push_answer(int answer);
int pending_answers();
void set_strict(bool strict);
const std::vector<message_record>& unexpected_questions();

// Interactive mode shows real message boxes; it is off unless a host program turns it on.
void set_interactive(bool interactive);
bool is_interactive();

void suppress(unsigned int id);
void unsuppress(unsigned int id);

const std::vector<internal_error>& internal_errors();
void clear_internal_errors();

const std::vector<std::string>& debug_log();

// Ids registered through MSG_ID_REGISTRAR with their post types, in registration order.
const std::vector<std::pair<unsigned int, int>>& registered_ids();

// The location schemas made by MSG_LOCATION_SCHEMA::from_tcl_string and not yet released.
int live_location_schemas();

void reset();
} // namespace standin::msg
