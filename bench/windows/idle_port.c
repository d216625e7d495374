/* Opens a port, leaves it open and idle for a while, and prints the processor time this process
 * spent meanwhile (the port's event thread waits on the line all that time). A thread that spun
 * would show as a good part of a second each second; the floor is zero.
 * Usage: idle_port COM-NUMBER SECONDS */
#include <zarelcom/zarelcom.h>

#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

static double Milliseconds(FILETIME time) {
    ULARGE_INTEGER value;
    value.LowPart = time.dwLowDateTime;
    value.HighPart = time.dwHighDateTime;
    return (double)value.QuadPart / 1e4;
}

static double ProcessorMs(void) {
    FILETIME created, ended, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
    return Milliseconds(kernel) + Milliseconds(user);
}

int main(int argc, char **argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: idle_port COM-NUMBER SECONDS\n");
        return 2;
    }
    const int port = atoi(argv[1]), seconds = atoi(argv[2]);
    if (!OpenComPort(port)) {
        fprintf(stderr, "COM%d does not open\n", port);
        return 1;
    }
    const double before = ProcessorMs();
    Sleep((DWORD)seconds * 1000);
    const double spent = ProcessorMs() - before;
    CloseComPort();
    printf("open port at rest for %d s: %.0f ms of processor time, %.2f %% of one core (floor 0)\n",
           seconds, spent, spent / (seconds * 10.0));
    return 0;
}
