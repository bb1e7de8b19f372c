// simulator/vavuro32.h compiled as C++ (warnings as errors): each entry type is exactly the one the tool calls the
// library through (api/device_api.h), calling convention included; the three that take resource records differ only in
// the header's record type.
#include <type_traits>

#include "api/device_api.h"
#include "simulator/vavuro32.h"

namespace {

static_assert(std::is_same_v<DllPosCloseFn, PFN_DLL_PosClose> && std::is_same_v<DllPosReadFn, PFN_DLL_PosRead> &&
              std::is_same_v<DllPosWriteFn, PFN_DLL_PosWrite> && std::is_same_v<DllPosTermFn, PFN_DLL_PosTerm> &&
              std::is_same_v<DllPosVersionFn, PFN_DLL_PosVersion>);

// The parameter lists with the tool's record read as the header's (template matching does not see the calling
// convention; the five above do).
template <typename T> struct Wire { using type = T; };
template <> struct Wire<ResourceArg*> { using type = PosResourceArg*; };
template <typename F> struct Params;
template <typename R, typename... A> struct Params<R(POSAPI*)(A...)> { using type = R(POSAPI*)(typename Wire<A>::type...); };
template <typename Tool, typename Header>
constexpr bool kSameParams = std::is_same_v<typename Params<Tool>::type, typename Params<Header>::type>;

static_assert(kSameParams<DllPosInitializeFn, PFN_DLL_PosInitialize> && kSameParams<DllPosOpenFn, PFN_DLL_PosOpen> &&
              kSameParams<DllPosIOCtlFn, PFN_DLL_PosIOCtl>);

}  // namespace
