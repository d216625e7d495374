/* A plant program's way into zarelcom.dll, without its header or import library: loaded by name,
 * every function taken with GetProcAddress through a prototype written here in stdcall, as VB6,
 * Delphi and LabVIEW declare them. It sends a logo with two stdcall callbacks registered and
 * round-trips a counted text, and checks around every call that the stack pointer comes back
 * where it was: a function or callback in another convention leaves it off by its arguments'
 * bytes (on 32-bit Windows; on 64-bit there is one convention and the check holds trivially).
 * Usage: stdcall_caller COM-NUMBER */
#include <windows.h>

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

typedef const char *Text;
typedef void(__stdcall *MessageCallback)(const char *line);
typedef void(__stdcall *ProgressCallback)(int64_t done, int64_t total, const char *line,
                                          void *context);

typedef uint8_t(__stdcall *OpenComPortFn)(int32_t n);
typedef uint8_t(__stdcall *CloseComPortFn)(void);
typedef Text(__stdcall *MakeTextFn)(const char *bytes, int32_t length);
typedef void(__stdcall *ReleaseTextFn)(Text text);
typedef intptr_t(__stdcall *CallBackMsgbackFn)(MessageCallback callback);
typedef intptr_t(__stdcall *SetProgressFn)(ProgressCallback callback, void *context);
typedef int32_t(__stdcall *GetFreeLogoNoFn)(void);
typedef uint8_t(__stdcall *StxSendLogoFn)(Text path, int32_t slot);
typedef uint8_t(__stdcall *StxSdStringFn)(Text text, int32_t number);
typedef Text(__stdcall *StxGetStringFn)(int32_t number);

#ifdef _WIN64
#define STACK_POINTER(into) __asm__ volatile("mov %%rsp, %0" : "=r"(into)::"memory")
#else
#define STACK_POINTER(into) __asm__ volatile("mov %%esp, %0" : "=r"(into)::"memory")
#endif

static int failures = 0;
static int calls = 0;

static void Fail(const char *what) {
    fprintf(stderr, "FAILED: %s\n", what);
    ++failures;
}

/* result = call, with the stack pointer compared before and after. */
#define BALANCED(result, call)                                                                     \
    do {                                                                                           \
        uintptr_t before_, after_;                                                                 \
        STACK_POINTER(before_);                                                                    \
        result = call;                                                                             \
        STACK_POINTER(after_);                                                                     \
        ++calls;                                                                                   \
        if (before_ != after_) {                                                                   \
            fprintf(stderr, "%s moved the stack pointer by %ld bytes\n", #call,                    \
                    (long)(after_ - before_));                                                     \
            Fail("a call left the stack unbalanced");                                              \
        }                                                                                          \
    } while (0)

static FARPROC Take(HMODULE dll, const char *name) {
    FARPROC function = GetProcAddress(dll, name);
    if (!function) {
        fprintf(stderr, "zarelcom.dll has no export named %s\n", name);
        exit(1);
    }
    return function;
}

/* Where each callback found the stack: the library calls it from the same place for every
 * block, so a callback that pops what the library does not expect shows as a drift. */
static uintptr_t messageStack = 0;
static int messages = 0;
static int64_t lastDone = 0, lastTotal = 0;
static int progressCalls = 0;
static int context = 0;

static void __stdcall OnMessage(const char *line) {
    uintptr_t here;
    STACK_POINTER(here);
    if (messages == 0)
        messageStack = here;
    else if (here != messageStack)
        Fail("the message callback's stack drifted between blocks");
    if (!line || !*line) Fail("the message callback got no progress line");
    ++messages;
}

static void __stdcall OnProgress(int64_t done, int64_t total, const char *line, void *given) {
    if (given != &context) Fail("the progress callback got another context");
    if (done <= lastDone) Fail("the progress callback's done bytes did not grow");
    if (!line || !*line) Fail("the progress callback got no progress line");
    lastDone = done;
    lastTotal = total;
    ++progressCalls;
}

int main(int argc, char **argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: stdcall_caller COM-NUMBER\n");
        return 2;
    }
    const int32_t port = atoi(argv[1]);
    HMODULE dll = LoadLibraryA("zarelcom.dll");
    if (!dll) {
        fprintf(stderr, "zarelcom.dll does not load (error %lu)\n", GetLastError());
        return 1;
    }
    OpenComPortFn OpenComPort = (OpenComPortFn)(void (*)(void))Take(dll, "OpenComPort");
    CloseComPortFn CloseComPort = (CloseComPortFn)(void (*)(void))Take(dll, "CloseComPort");
    MakeTextFn MakeText = (MakeTextFn)(void (*)(void))Take(dll, "MakeText");
    ReleaseTextFn ReleaseText = (ReleaseTextFn)(void (*)(void))Take(dll, "ReleaseText");
    CallBackMsgbackFn CallBackMsgback =
        (CallBackMsgbackFn)(void (*)(void))Take(dll, "CallBackMsgback");
    SetProgressFn SetProgress = (SetProgressFn)(void (*)(void))Take(dll, "zc_set_progress");
    GetFreeLogoNoFn GetFreeLogoNo = (GetFreeLogoNoFn)(void (*)(void))Take(dll, "GetFreeLogoNo");
    StxSendLogoFn StxSendLogo = (StxSendLogoFn)(void (*)(void))Take(dll, "StxSendLogo");
    StxSdStringFn StxSdString = (StxSdStringFn)(void (*)(void))Take(dll, "StxSdString");
    StxGetStringFn StxGetString = (StxGetStringFn)(void (*)(void))Take(dll, "StxGetString");

    uint8_t ok;
    intptr_t previous;
    BALANCED(ok, OpenComPort(port));
    if (!ok) {
        fprintf(stderr, "COM%d does not open\n", (int)port);
        return 1;
    }
    BALANCED(previous, CallBackMsgback(OnMessage));
    BALANCED(previous, SetProgress(OnProgress, &context));

    /* A logo of three blocks, so that each callback is called three times. */
    char folder[MAX_PATH], path[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    snprintf(path, sizeof path, "%sstdcall_logo_%lu.bmp", folder, GetCurrentProcessId());
    enum { LogoBytes = 1462 };
    FILE *file = fopen(path, "wb");
    if (!file) {
        fprintf(stderr, "cannot write %s\n", path);
        return 1;
    }
    for (int i = 0; i < LogoBytes; ++i) fputc(i & 0xFF, file);
    fclose(file);
    Text counted;
    int32_t slot;
    BALANCED(counted, MakeText(path, (int32_t)strlen(path)));
    BALANCED(slot, GetFreeLogoNo());
    BALANCED(ok, StxSendLogo(counted, slot));
    if (!ok) Fail("StxSendLogo did not send the logo");
    BALANCED(previous, (ReleaseText(counted), 0));
    if (messages != 3) Fail("the message callback was not called once a block");
    if (progressCalls != 3 || lastTotal != LogoBytes)
        Fail("the progress callback did not follow the three blocks of the logo");
    remove(path);

    /* A counted text out to user string 7 and back. */
    static const char bytes[] = "LOT 42/B";
    const int32_t length = (int32_t)sizeof bytes - 1;
    Text sent, back;
    BALANCED(sent, MakeText(bytes, length));
    if (!sent || ((const int32_t *)sent)[-1] != length || memcmp(sent, bytes, length) != 0)
        Fail("MakeText did not lay out its counted text");
    BALANCED(ok, StxSdString(sent, 7));
    if (!ok) Fail("StxSdString did not write the user string");
    BALANCED(back, StxGetString(7));
    if (!back || ((const int32_t *)back)[-1] != length || memcmp(back, bytes, length + 1) != 0)
        Fail("StxGetString did not give back the string sent");
    BALANCED(previous, (ReleaseText(sent), 0));
    BALANCED(previous, (ReleaseText(back), 0));

    BALANCED(ok, CloseComPort());
    (void)previous;
    if (failures) return 1;
    printf("stdcall caller: %d calls balanced, callbacks %d and %d times, text round trip\n", calls,
           messages, progressCalls);
    return 0;
}
