/* The C interface used from C11: every call, with the file it writes read
 * back. Run with a directory of the test's own; with KIV_SYS_CONFIG_DIR
 * naming a configuration that switches logging on, the system logger is
 * checked too. Prints "c interface: ok" when every check held. */
#include <logging/msglog.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int failures = 0;

#define CHECK(condition)                                              \
    do {                                                              \
        if (!(condition)) {                                           \
            fprintf(stderr, "%s:%d: %s\n", __FILE__, __LINE__, #condition); \
            ++failures;                                               \
        }                                                             \
    } while (0)

/* The whole file, NUL-terminated, or NULL. */
static char* ReadAll(const char* path) {
    FILE* file = fopen(path, "rb");
    if (file == NULL) return NULL;
    char* content = malloc(1 << 16);
    size_t size = content == NULL ? 0 : fread(content, 1, (1 << 16) - 1, file);
    fclose(file);
    if (content != NULL) content[size] = '\0';
    return content;
}

static int Contains(const char* text, const char* piece) {
    return text != NULL && strstr(text, piece) != NULL;
}

static void CheckFileLog(const char* directory) {
    char path[4096];
    snprintf(path, sizeof path, "%s/c-interface.log", directory);
    kivlog_log* log = kivlog_new_file_log(path);
    CHECK(log != NULL);
    CHECK(kivlog_can_log(log) == 1);

    kivlog_write(log, KIVLOGGING_LEVEL_INFO, "Orders::Accept", "order 7 accepted", KIVLOG_DEFAULT_MARKING);
    kivlog_write(log, KIVLOGGING_LEVEL_ERROR, NULL, "no method given", NULL);
    kivlog_write(log, 99, "Orders::Check", "beyond FATAL counts as FATAL", "(C) ");
    kivlog_write(log, KIVLOGGING_LEVEL_WARN, "Orders::Check", "", "(U) ");
    kivlog_write(log, KIVLOGGING_LEVEL_WARN, "Orders::Check", NULL, "(U) ");
    kivlog_write_raw(log, "raw line", "(U) ");

    kivlog_set_threshold(KIVLOGGING_LEVEL_WARN);
    CHECK(kivlog_threshold() == KIVLOGGING_LEVEL_WARN);
    kivlog_write(log, KIVLOGGING_LEVEL_INFO, "Orders::Accept", "below the threshold", "(U) ");
    kivlog_write(log, -3, "Orders::Accept", "below DEBUG counts as DEBUG", "(U) ");
    kivlog_write_raw(log, "raw passes the threshold", NULL);
    kivlog_set_threshold(KIVLOGGING_LEVEL_DEBUG);

    kivlog_turn_off();
    CHECK(kivlog_is_on() == 0);
    kivlog_write(log, KIVLOGGING_LEVEL_FATAL, "Orders::Accept", "while off", "(U) ");
    kivlog_turn_on();

    kivlog_close(log);
    CHECK(kivlog_can_log(log) == 0);
    kivlog_write(log, KIVLOGGING_LEVEL_FATAL, "Orders::Accept", "after close", "(U) ");
    CHECK(kivlog_delete_log(&log) == 1);
    CHECK(log == NULL);

    char* content = ReadAll(path);
    CHECK(content != NULL);
    CHECK(Contains(content, "] Orders::Accept:"));
    CHECK(Contains(content, "(U) order 7 accepted"));
    CHECK(Contains(content, "] unknown method:"));
    CHECK(Contains(content, "no method given"));
    CHECK(Contains(content, "(U) FATAL ["));
    CHECK(Contains(content, "(C) beyond FATAL counts as FATAL"));
    CHECK(Contains(content, "(U) raw line"));
    CHECK(Contains(content, "raw passes the threshold"));
    CHECK(!Contains(content, "below"));
    CHECK(!Contains(content, "while off"));
    CHECK(!Contains(content, "after close"));
    CHECK(!Contains(content, "(U) WARN"));
    free(content);
}

static void CheckEdges(const char* directory) {
    char path[4096];
    snprintf(path, sizeof path, "%s/missing-directory/c.log", directory);
    kivlog_log* unwritable = kivlog_new_file_log(path);
    CHECK(unwritable != NULL);
    CHECK(kivlog_can_log(unwritable) == 0);
    kivlog_write(unwritable, KIVLOGGING_LEVEL_ERROR, "Edges", "goes nowhere", NULL);
    CHECK(kivlog_delete_log(&unwritable) == 1);

    CHECK(kivlog_new_file_log(NULL) == NULL);
    kivlog_log* none = NULL;
    CHECK(kivlog_delete_log(&none) == 1);
    CHECK(kivlog_delete_log(NULL) == 1);
    CHECK(kivlog_can_log(NULL) == 0);
    kivlog_write(NULL, KIVLOGGING_LEVEL_FATAL, "Edges", "no log", NULL);
    kivlog_write_raw(NULL, "no log", NULL);
    kivlog_close(NULL);
    CHECK(kivlog_property(NULL) == NULL);
    CHECK(kivlog_property("") == NULL);

    kivlog_set_threshold(1000);
    CHECK(kivlog_threshold() == KIVLOGGING_LEVEL_FATAL);
    kivlog_set_threshold(-1000);
    CHECK(kivlog_threshold() == KIVLOGGING_LEVEL_DEBUG);
}

static void CheckConsole(void) {
    kivlog_log* console = kivlog_new_console_log();
    CHECK(console != NULL);
    kivlog_write(console, KIVLOGGING_LEVEL_INFO, "C::console", "console text", KIVLOG_DEFAULT_MARKING);
    fflush(stdout);
    CHECK(kivlog_delete_log(&console) == 1);
}

static void CheckSystemLogger(void) {
    kivlog_log* system = kivlog_system_logger();
    CHECK(system == kivlog_system_logger());
    if (getenv("KIV_SYS_CONFIG_DIR") == NULL) {
        CHECK(system == NULL);
        CHECK(kivlog_is_on() == 0);
        CHECK(kivlog_property("kiv.logging") != NULL && strcmp(kivlog_property("kiv.logging"), "false") == 0);
    } else {
        CHECK(system != NULL);
        CHECK(kivlog_is_on() == 1);
        CHECK(kivlog_property(" kiv.logging.status ") != NULL &&
              strcmp(kivlog_property("kiv.logging.status"), "on") == 0);
        kivlog_write(system, KIVLOGGING_LEVEL_WARN, "C::system", "system text", KIVLOG_DEFAULT_MARKING);
        fflush(stdout);
        kivlog_log* copy = system;
        CHECK(kivlog_delete_log(&copy) == 0);
        CHECK(copy == system);
    }
}

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: %s DIRECTORY\n", argv[0]);
        return 2;
    }
    CheckSystemLogger();
    kivlog_turn_on();
    CheckConsole();
    CheckFileLog(argv[1]);
    CheckEdges(argv[1]);
    if (failures > 0) return 1;
    printf("c interface: ok\n");
    return 0;
}
