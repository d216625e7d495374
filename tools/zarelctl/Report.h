// What one command tells its caller: lines for people, fields for scripts. The command fills
// both; the tool prints the one the caller asked for when the command has finished.
#pragma once

#include "Json.h"

#include <cstdio>
#include <string>
#include <vector>

namespace zarelctl {

class Report {
public:
    explicit Report(bool json) : json_(json) {}

    bool Json() const { return json_; }

    // A field of the JSON result ("ok" comes first by itself).
    void Set(const std::string &key, zarelctl::Json value) { fields_.Add(key, std::move(value)); }
    // A line of the human result.
    void Say(const std::string &line) { lines_.push_back(line); }
    // A line about what the command is doing, for people: on standard error at once, in either
    // form (standard output stays the result's).
    static void Note(const std::string &line);

    // The result of a command that succeeded, on out.
    void PrintSuccess(FILE *out) const;
    // A failure: the message on err; in JSON mode also the JSON object {"ok":false,...} with the
    // code (null when there is none), the reason and where it failed (source) on out, so that a
    // script always gets one object with the same keys.
    void PrintFailure(FILE *out, FILE *err, int exitCode, const std::string &message, int errorCode,
                      const std::string &reason, const char *source) const;

private:
    bool json_;
    zarelctl::Json fields_ = zarelctl::Json::Object();
    std::vector<std::string> lines_;
};

} // namespace zarelctl
