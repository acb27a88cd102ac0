// A virtual call that does nothing, defined in its own file so that the
// compiler cannot see through it: the floor under any front-end call.
#ifndef KIVLOGGING_BENCH_EMPTYCALL_H
#define KIVLOGGING_BENCH_EMPTYCALL_H

namespace kivbench {

class EmptyCall {
public:
    virtual ~EmptyCall() = default;
    virtual void Info(const char* method, const char* message, const char* marking);
};

EmptyCall& TheEmptyCall();

}  // namespace kivbench

#endif  // KIVLOGGING_BENCH_EMPTYCALL_H
