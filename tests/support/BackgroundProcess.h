// A program running in the background while a test goes on, its standard
// output going to a file; stopped when the object goes.
#ifndef KIVLOGGING_TESTS_SUPPORT_BACKGROUNDPROCESS_H
#define KIVLOGGING_TESTS_SUPPORT_BACKGROUNDPROCESS_H

#include <string>
#include <vector>

namespace kivtest {

class BackgroundProcess {
public:
    BackgroundProcess(const std::string& program, const std::vector<std::string>& arguments,
                      const std::string& outputFile);
    ~BackgroundProcess();
    BackgroundProcess(const BackgroundProcess&) = delete;
    BackgroundProcess& operator=(const BackgroundProcess&) = delete;

    // The process id; -1 when it could not be started.
    int Id() const { return m_process; }

private:
    int m_process = -1;
};

}  // namespace kivtest

#endif  // KIVLOGGING_TESTS_SUPPORT_BACKGROUNDPROCESS_H
