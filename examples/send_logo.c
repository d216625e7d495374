/*
 * send_logo: the road of a logo through Zarelcom's C interface. Opens COM port N, reads the
 * printer's system information, asks for a free logo slot and sends a logo file into it.
 *
 *     send_logo PORT LOGO.BMP
 *
 * Exit status 0 when the printer took the logo, 1 when it refused or did not answer, 2 for bad
 * arguments.
 */
#include <zarelcom/zarelcom.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static void ZARELCOM_CALL progress(const char *line) { printf("  %s\n", line); }

static int fail(const char *what) {
    fprintf(stderr, "send_logo: could not %s (last error code %d)\n", what, (int)GetCurrErrCode());
    CloseComPort();
    return 1;
}

int main(int argc, char **argv) {
    if (argc != 3 || atoi(argv[1]) <= 0) {
        fprintf(stderr, "usage: send_logo PORT LOGO.BMP\n");
        return 2;
    }
    int32_t port = atoi(argv[1]);
    if (!OpenComPort(port)) {
        fprintf(stderr, "send_logo: could not open COM%d %s\n", (int)port, GetLastPortError());
        return 1;
    }
    if (!SetBaudRate(ZC_BR19200)) return fail("set the line rate");

    SystemInfo info;
    if (!GetSysInfo(&info)) return fail("read the system information");
    printf("ZAREL HP MODEL %d V%d.%d, serial number %d\n", (int)info.ModelNo,
           (int)(info.Version / 100), (int)(info.Version % 100), (int)info.SerialNo);

    int32_t slot = GetFreeLogoNo();
    if (slot < 1 || slot > 50) return fail("find a free logo slot");

    CallBackMsgback(progress);
    zc_text path = MakeText(argv[2], (int32_t)strlen(argv[2]));
    zc_bool sent = StxSendLogo(path, slot);
    ReleaseText(path);
    if (!sent) return fail("send the logo");
    printf("logo stored in slot %d\n", (int)slot);
    CloseComPort();
    return 0;
}
