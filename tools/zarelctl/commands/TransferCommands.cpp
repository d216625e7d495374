// Commands that move files between this computer and the printer: logos into slots, named files,
// the parameter file, the message-name list, screen images, backups, restores, print images and
// the program update. Progress shows while the blocks go.
#include <zarelcom/zarelcom.hpp>

#include "../Command.h"
#include "../System.h"

#include <cerrno>
#include <cstdio>

namespace zarelctl {

namespace {

// The length of a local file that is about to be sent; a file that cannot be read stops the
// command here, as this computer's refusal, instead of going out announced with the length -1.
int32_t ReadableLength(const std::string &path) {
    ReadableFile opened = OpenRegularFile(path);
    if (!opened.file)
        Session::FailLocally("cannot read " + path + ": " + opened.refusal.reason,
                             opened.refusal.error);
    int32_t length = GetFileLen(zarelcom::Text(path), 0x8002);
    if (length < 0) Session::FailLocally("cannot read " + path + ": it has more than 2 GiB", EFBIG);
    return length;
}

// A file about to be fetched must be one this computer lets us write: a fetched file is written
// beside its target and put in its place when whole, so the target must be a regular file (or
// not there yet) in a folder that takes a new file. Said here, it is never taken for the
// printer's refusal.
void CheckWritable(const std::string &path) {
    LocalRefusal refusal = WhyNotWritable(path);
    if (!refusal.reason.empty())
        Session::FailLocally("cannot write " + path + ": " + refusal.reason, refusal.error);
}

std::string BaseName(const std::string &path) {
    size_t separator = path.find_last_of(PathSeparators);
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

void Sent(Session &s, const std::string &what, const std::string &path, int32_t length) {
    s.Out().Say(what + " (" + std::to_string(length) + " bytes)");
    s.Out().Set("file", path);
    s.Out().Set("bytes", length);
}

void Fetched(Session &s, const std::string &what, const std::string &path) {
    long length = -1;
    if (FILE *file = std::fopen(path.c_str(), "rb")) {
        std::fseek(file, 0, SEEK_END);
        length = std::ftell(file);
        std::fclose(file);
    }
    s.Out().Say(what + " saved to " + path + " (" + std::to_string(length) + " bytes)");
    s.Out().Set("file", path);
    s.Out().Set("bytes", length);
}

void SendLogo(Session &s) {
    s.ExpectWords(1, 1);
    const std::string &path = s.Word(0);
    long chosenSlot = s.NumberOption("--slot", "the logo slot (--slot)", 1, ZC_LOGO_SLOTS, 0);
    int32_t length = ReadableLength(path);
    if (length > ZC_LOGO_MAX_BYTES)
        Session::FailLocally("Send error, LOGO size=" + std::to_string(length) + " >" +
                             std::to_string(ZC_LOGO_MAX_BYTES) +
                             " bytes!! Make the logo narrower, or use a smaller logo height");
    s.Connect();
    int32_t slot = static_cast<int32_t>(chosenSlot);
    if (!slot) {
        slot = s.Query("ask the printer for a free logo slot", GetFreeLogoNo, -1);
        if (slot < 1)
            throw PrinterFailure("Get free Logo number error!! The printer offered slot " +
                                     std::to_string(slot),
                                 -1, "no free slot offered");
        if (slot > ZC_LOGO_SLOTS)
            throw PrinterFailure(
                "Fifty LOGOs are full!! Free a slot on the printer, or choose one with --slot", -1,
                "logo store full");
    }
    s.CheckTransfer("send the logo " + path + " into slot " + std::to_string(slot),
                    [&] { return StxSendLogo(zarelcom::Text(path), slot); });
    s.Out().Say("Send Logo " + path + " OK");
    s.Out().Say("The printer stored the logo in slot " + std::to_string(slot));
    s.Out().Set("slot", slot);
    s.Out().Set("file", path);
    s.Out().Set("bytes", length);
}

// backup-logo and backup-msg: the same request for a logo or a message, then the blocks.
void BackUp(Session &s, const std::string &kind, long lowest, long highest,
            zc_bool(ZARELCOM_CALL *backUp)(zc_text, int32_t)) {
    s.ExpectWords(2, 2);
    long number = s.Number(0, "the " + kind + " number", lowest, highest);
    const std::string &path = s.Word(1);
    CheckWritable(path);
    s.Connect();
    s.CheckTransfer("back up " + kind + " " + std::to_string(number),
                    [&] { return backUp(zarelcom::Text(path), static_cast<int32_t>(number)); });
    std::string title = kind;
    title[0] = static_cast<char>(title[0] - 'a' + 'A');
    Fetched(s, title + " " + std::to_string(number), path);
    s.Out().Set(kind, number);
}

void BackUpLogoCommand(Session &s) { BackUp(s, "logo", 1, ZC_LOGO_SLOTS, BackUpLogo); }
// The request carries a message number in 16 bits.
void BackUpMessage(Session &s) { BackUp(s, "message", 0, 65535, BackUpMsg); }

void RestoreMessage(Session &s) {
    s.ExpectWords(2, 2);
    long message = s.Number(0, "the message number", 0, 65535);
    const std::string &path = s.Word(1);
    int32_t length = ReadableLength(path);
    s.Connect();
    s.CheckTransfer("restore message " + std::to_string(message) + " from " + path,
                    [&] { return RestoreMsg(path.c_str(), static_cast<uint16_t>(message)); });
    Sent(s, "Message " + std::to_string(message) + " restored from " + path, path, length);
    s.Out().Set("message", message);
}

void PrintImageCommand(Session &s) {
    s.ExpectWords(1, 1);
    const std::string &path = s.Word(0);
    long option = s.NumberOption("--option", "the print option (--option)", 0, 255, 0);
    int32_t length = ReadableLength(path);
    s.Connect();
    s.CheckTransfer("send the image " + path + " for printing",
                    [&] { return PrintImage(zarelcom::Text(path), static_cast<uint8_t>(option)); });
    Sent(s, "Image " + path + " sent for printing", path, length);
    s.Out().Set("option", option);
}

void Download(Session &s) {
    s.ExpectWords(1, 2);
    const std::string &path = s.Word(0);
    std::string name = s.WordCount() == 2 ? s.Word(1) : BaseName(path);
    if (name.empty() || name.size() > 24)
        throw UsageError("the printer-side name must have 1 to 24 characters, not '" + name + "'");
    int32_t length = ReadableLength(path);
    s.Connect();
    s.CheckTransfer("send " + path + " as " + name,
                    [&] { return StxDownLoadFile(zarelcom::Text(path), zarelcom::Text(name)); });
    Sent(s, path + " sent to the printer as " + name, path, length);
    s.Out().Set("name", name);
}

void Upload(Session &s) {
    s.ExpectWords(2, 2);
    const std::string &name = s.Word(0);
    const std::string &path = s.Word(1);
    if (name.empty() || name.size() > 24)
        throw UsageError("the printer-side name must have 1 to 24 characters, not '" + name + "'");
    CheckWritable(path);
    s.Connect();
    s.CheckTransfer("fetch " + name + " from the printer",
                    [&] { return StxUpLoadFile(zarelcom::Text(path), zarelcom::Text(name)); });
    Fetched(s, name, path);
    s.Out().Set("name", name);
}

void Parameters(Session &s) {
    s.ExpectWords(2, 2);
    bool download = s.Choice(0, {"download", "upload"}) == "download";
    const std::string &path = s.Word(1);
    if (download) {
        int32_t length = ReadableLength(path);
        s.Connect();
        s.CheckTransfer("send the parameter file " + path,
                        [&] { return StxDownLoadParameter(zarelcom::Text(path)); });
        Sent(s, "Parameter file " + path + " sent; the printer restarts", path, length);
        return;
    }
    CheckWritable(path);
    s.Connect();
    s.CheckTransfer("fetch the parameter file",
                    [&] { return StxUpLoadParameter(zarelcom::Text(path)); });
    Fetched(s, "Parameter file", path);
}

void MessageNames(Session &s) {
    s.ExpectWords(1, 1);
    const std::string &path = s.Word(0);
    CheckWritable(path);
    s.Connect();
    s.CheckTransfer("fetch the message-name list",
                    [&] { return StxUpLoadMsgName(zarelcom::Text(path)); });
    Fetched(s, "Message-name list", path);
}

void Screen(Session &s) {
    s.ExpectWords(2, 2);
    const std::string &name = s.Word(0);
    const std::string &path = s.Word(1);
    if (name.empty() || name.size() > 24)
        throw UsageError("the screen name must have 1 to 24 characters, not '" + name + "'");
    CheckWritable(path);
    s.Connect();
    s.CheckTransfer("fetch the screen image " + name,
                    [&] { return StxGetScr(zarelcom::Text(path), zarelcom::Text(name)); });
    Fetched(s, "Screen image " + name, path);
    s.Out().Set("name", name);
}

void Update(Session &s) {
    s.ExpectWords(1, 1);
    const std::string &path = s.Word(0);
    int32_t length = ReadableLength(path);
    s.Connect();
    s.CheckTransfer("send the program update " + path,
                    [&] { return StxUpdateZarel(zarelcom::Text(path)); });
    Sent(s, "Program update " + path + " sent; the printer restarts", path, length);
}

} // namespace

std::vector<Command> TransferCommands() {
    const char *const fetchNote = "An existing FILE is replaced only when every block arrived.";
    return {
        {"send-logo",
         "FILE [--slot N]",
         "Send a logo file into a free logo slot (or slot N)",
         "The file may have at most 16000 bytes, as the logo tool allows. Without --slot the "
         "printer names a\n"
         "free one of its fifty slots; the slot it stored the logo in is shown.",
         {{"--slot", "N", "send into slot N (1-50) instead of a free one"}},
         SendLogo},
        {"backup-logo",
         "N FILE",
         "Save logo N (1-50) of the printer into FILE",
         fetchNote,
         {},
         BackUpLogoCommand},
        {"backup-msg",
         "N FILE",
         "Save message N of the printer into FILE",
         fetchNote,
         {},
         BackUpMessage},
        {"restore-msg", "N FILE", "Restore message N from FILE", "", {}, RestoreMessage},
        {"print-image",
         "FILE [--option N]",
         "Send an image file for printing",
         "",
         {{"--option", "N", "the print option byte (0-255, default 0)"}},
         PrintImageCommand},
        {"download",
         "FILE [NAME]",
         "Send FILE into the printer's file store as NAME (default its file name)",
         "NAME has at most 24 characters; 'bmp\\NAME' puts it into the printer's bitmap folder.",
         {},
         Download},
        {"upload", "NAME FILE", "Fetch the printer's file NAME into FILE", fetchNote, {}, Upload},
        {"param",
         "download | upload FILE",
         "Send the parameter file (the printer restarts) or fetch it",
         "",
         {},
         Parameters},
        {"msg-names",
         "FILE",
         "Fetch the printer's message-name list into FILE",
         fetchNote,
         {},
         MessageNames},
        {"screen", "NAME FILE", "Fetch the screen image NAME into FILE", fetchNote, {}, Screen},
        {"update", "FILE", "Send a program update package; the printer restarts", "", {}, Update},
    };
}

} // namespace zarelctl
