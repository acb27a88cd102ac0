// The method names the macros derive, checked at compile time on signatures
// as g++ (and mingw-w64 g++) and clang write them in __PRETTY_FUNCTION__.
#include <logging/MsgLogMethodName.h>

#include <string_view>

namespace {

using ORVA::KIV::System::Utility::Logging::Formatting::ParseMethodName;

template <std::size_t N>
constexpr bool Gives(const char (&signature)[N], std::string_view expected) {
    return std::string_view(ParseMethodName(signature).Text()) == expected;
}

// Functions, member functions, qualifiers and template suffixes.
static_assert(Gives("void FreeFunction()", "FreeFunction"));
static_assert(Gives("int StaticFree(int, char**)", "StaticFree"));
static_assert(Gives("void shop::OrderJob::Process(int)", "shop::OrderJob::Process"));
static_assert(Gives("int shop::OrderJob::operator[](int) const volatile &", "shop::OrderJob::operator[]"));
static_assert(Gives("const std::vector<std::pair<int, int> >& shop::OrderJob::Ref() const", "shop::OrderJob::Ref"));
static_assert(Gives("const std::vector<std::pair<int, int>> &shop::OrderJob::Ref() const", "shop::OrderJob::Ref"));
static_assert(Gives("static void (* shop::OrderJob::Pick(int))(int)", "shop::OrderJob::Pick"));
static_assert(Gives("static void (*shop::OrderJob::Pick(int))(int)", "shop::OrderJob::Pick"));
static_assert(Gives("void Apply(void (*)(int), std::function<bool(int)>)", "Apply"));
static_assert(Gives("decltype(auto) DeclAuto()", "DeclAuto"));
static_assert(Gives("decltype(auto) shop::X::Get()", "shop::X::Get"));
static_assert(Gives("decltype(x.y()) shop::X::Get() const", "shop::X::Get"));
static_assert(Gives("int (& RefArray())[3]", "RefArray"));
static_assert(Gives("int (&RefArray())[3]", "RefArray"));
static_assert(Gives("int (* PtrArray())[3]", "PtrArray"));
static_assert(Gives("int (& shop::Y::Arr(int))[3][4]", "shop::Y::Arr"));

// Templates: the argument lists and the suffix go.
static_assert(Gives("T Twice(T) [with T = double]", "Twice"));
static_assert(Gives("T Twice(T) [T = std::vector<int>]", "Twice"));
static_assert(Gives("int Fixed() [with int N = 3]", "Fixed"));
static_assert(Gives("void shop::Box<T>::Put(const T&) [with T = std::__cxx11::basic_string<char>]", "shop::Box::Put"));
static_assert(Gives("void shop::Box<std::basic_string<char>>::Put(const T &) [T = std::basic_string<char>]",
                    "shop::Box::Put"));
static_assert(Gives("static U shop::Box<T>::Get(U) [with U = long int; T = int]", "shop::Box::Get"));
static_assert(Gives("void shop::Box<T>::Inner::Go() && [with T = int]", "shop::Box::Inner::Go"));
static_assert(Gives("int shop::Box<T>::operator[](int) [with T = int]", "shop::Box::operator[]"));

// Constructors, destructors, operators and conversions.
static_assert(Gives("shop::OrderJob::OrderJob()", "shop::OrderJob::OrderJob"));
static_assert(Gives("shop::OrderJob::~OrderJob()", "shop::OrderJob::~OrderJob"));
static_assert(Gives("void shop::OrderJob::operator()()", "shop::OrderJob::operator()"));
static_assert(Gives("bool shop::OrderJob::operator<(const shop::OrderJob&) const", "shop::OrderJob::operator<"));
static_assert(Gives("bool shop::OrderJob::operator>(const shop::OrderJob &) const", "shop::OrderJob::operator>"));
static_assert(Gives("shop::OrderJob& shop::OrderJob::operator<<(int)", "shop::OrderJob::operator<<"));
static_assert(Gives("shop::OrderJob &shop::OrderJob::operator>>(int)", "shop::OrderJob::operator>>"));
static_assert(Gives("int shop::OrderJob::operator->*(int)", "shop::OrderJob::operator->*"));
static_assert(Gives("std::strong_ordering Money::operator<=>(const Money&) const", "Money::operator<=>"));
static_assert(Gives("std::ostream& operator<<(std::ostream&, const Money&)", "operator<<"));
static_assert(Gives("shop::OrderJob::operator bool() const", "shop::OrderJob::operator bool"));
static_assert(Gives("bool shop::OrderJob::operator bool() const", "shop::OrderJob::operator bool"));
static_assert(Gives("shop::OrderJob::operator std::map<int, std::vector<int> >() const",
                    "shop::OrderJob::operator std::map"));
static_assert(Gives("C::operator FP()", "C::operator FP"));
static_assert(Gives("C::FP C::operator int (*)(int)()", "C::operator int (*)(int)"));
static_assert(Gives("C::AR C::operator int (&)[3]()", "C::operator int (&)[3]"));
static_assert(Gives("static void* shop::OrderJob::operator new(size_t)", "shop::OrderJob::operator new"));
static_assert(Gives("static void *shop::OrderJob::operator new(size_t)", "shop::OrderJob::operator new"));
static_assert(Gives("int shop::operatorCount()", "shop::operatorCount"));

// Anonymous namespaces go; named ones stay.
static_assert(Gives("void shop::{anonymous}::Anon::Run() const", "shop::Anon::Run"));
static_assert(Gives("void shop::(anonymous namespace)::Anon::Run() const", "shop::Anon::Run"));
static_assert(Gives("void {anonymous}::InAnon()", "InAnon"));

// Lambdas give what encloses them.
static_assert(Gives("shop::OrderJob::Process(int)::<lambda()>", "shop::OrderJob::Process"));
static_assert(Gives("shop::OrderJob::Process(int)::<lambda()> mutable::<lambda()>", "shop::OrderJob::Process"));
static_assert(Gives("shop::OrderJob::Process(int)::<lambda(auto:11)> [with auto:11 = int]",
                    "shop::OrderJob::Process"));
static_assert(Gives("ns::Box<int>::Put() const::<lambda()>", "ns::Box::Put"));
static_assert(Gives("ns::Twice<int>(int)::<lambda()>", "ns::Twice"));
static_assert(Gives("auto shop::OrderJob::Process(int)::(anonymous class)::operator()() const",
                    "shop::OrderJob::Process"));
static_assert(Gives("auto ns::Box<int>::Put()::(anonymous class)::operator()() const [T = int]", "ns::Box::Put"));
static_assert(Gives("auto OrderJob::Process(int)::(lambda at src/Order.cpp:12:18)::operator()() const",
                    "OrderJob::Process"));
static_assert(Gives("void Registry<(lambda at a.cpp:3:9)>::Add()", "Registry::Add"));
static_assert(Gives("ns::S::<lambda()>", "ns::S"));
static_assert(Gives("auto ns::(anonymous class)::operator()() const", "ns"));
static_assert(Gives("main()::<lambda()>", "main"));
static_assert(Gives("<lambda()>", ""));

// Members of local classes are named within their function.
static_assert(Gives("void ns::C::M() const::Local::Run()", "ns::C::M::Local::Run"));
static_assert(Gives("void ns::C::M()::Local::Run()", "ns::C::M::Local::Run"));

}  // namespace
