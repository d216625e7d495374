#include "Report.h"

namespace zarelctl {

void Report::Note(const std::string &line) {
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
}

void Report::PrintSuccess(FILE *out) const {
    if (json_) {
        std::string object = fields_.Dump();
        // {"ok":true, followed by the command's own fields.
        std::fprintf(out, "{\"ok\":true%s%s\n", object.size() > 2 ? "," : "", object.c_str() + 1);
        return;
    }
    for (const std::string &line : lines_) std::fprintf(out, "%s\n", line.c_str());
}

void Report::PrintFailure(FILE *out, FILE *err, int exitCode, const std::string &message,
                          int errorCode, const std::string &reason, const char *source) const {
    std::fprintf(err, "zarelctl: %s\n", message.c_str());
    if (!json_) return;
    zarelctl::Json failure = zarelctl::Json::Object();
    failure.Add("ok", false).Add("exit", exitCode).Add("error", message);
    failure.Add("code", errorCode >= 0 ? zarelctl::Json(errorCode) : zarelctl::Json());
    if (!reason.empty()) failure.Add("reason", reason);
    failure.Add("source", source);
    std::fprintf(out, "%s\n", failure.Dump().c_str());
}

} // namespace zarelctl
