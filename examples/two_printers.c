/*
 * two_printers: two printers driven at once from one program, each from its own thread on its own
 * link. Each thread opens its printer's COM port, reads the system information and sends the same
 * logo into logo slot 1, with its own progress lines.
 *
 *     two_printers PORT1 PORT2 LOGO.BMP
 *
 * Exit status 0 when both printers took the logo, 1 when one refused or did not answer, 2 for bad
 * arguments.
 */
#include <zarelcom/zarelcom.h>

#include <pthread.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

struct job {
    int32_t port;
    const char *logo;
    zc_message_callback progress;
    int ok;
};

/* A progress callback has no context argument: each link registers a function of its own. */
static void ZARELCOM_CALL progress_first(const char *line) { printf("  first:  %s\n", line); }
static void ZARELCOM_CALL progress_second(const char *line) { printf("  second: %s\n", line); }

static void *drive(void *argument) {
    struct job *job = argument;
    zc_link *link = zc_link_new();
    if (!link) return NULL;
    zc_link_select(link); /* from here on this thread's calls act on its own link */
    if (OpenComPort(job->port)) {
        SystemInfo info;
        if (GetSysInfo(&info))
            printf("COM%d: model %d, serial number %d\n", (int)job->port, (int)info.ModelNo,
                   (int)info.SerialNo);
        CallBackMsgback(job->progress);
        zc_text path = MakeText(job->logo, (int32_t)strlen(job->logo));
        job->ok = StxSendLogo(path, 1) != 0;
        ReleaseText(path);
        if (!job->ok)
            fprintf(stderr, "COM%d: could not send the logo: %s\n", (int)job->port,
                    zc_error_text(GetCurrErrCode()));
        CloseComPort();
    } else {
        fprintf(stderr, "COM%d: could not open the port %s\n", (int)job->port, GetLastPortError());
    }
    zc_link_select(NULL);
    zc_link_free(link);
    return NULL;
}

int main(int argc, char **argv) {
    if (argc != 4 || atoi(argv[1]) <= 0 || atoi(argv[2]) <= 0) {
        fprintf(stderr, "usage: two_printers PORT1 PORT2 LOGO.BMP\n");
        return 2;
    }
    struct job jobs[2] = {{atoi(argv[1]), argv[3], progress_first, 0},
                          {atoi(argv[2]), argv[3], progress_second, 0}};
    pthread_t threads[2];
    for (int i = 0; i < 2; ++i) pthread_create(&threads[i], NULL, drive, &jobs[i]);
    for (int i = 0; i < 2; ++i) pthread_join(threads[i], NULL);
    return jobs[0].ok && jobs[1].ok ? 0 : 1;
}
