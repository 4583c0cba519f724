# Checks that the shared library exports the kernel's public interface and
# nothing else of the kernel: every defined dynamic symbol in namespace Tavex
# must belong to the exported functions, the window layer or the exported
# loop-result classes with their object arrays.
execute_process(COMMAND nm -DC --defined-only ${LIBRARY}
                OUTPUT_VARIABLE symbols RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "nm failed on ${LIBRARY}")
endif()
string(REPLACE "\n" ";" lines "${symbols}")
set(allowed
  "Tavex::Initialize(" "Tavex::SetStations(" "Tavex::SetObservations(" "Tavex::PreRun("
  "Tavex::Adjust(" "Tavex::COGO(" "Tavex::Loops(" "Tavex::MultiplierConfidence("
  "Tavex::Release(" "Tavex::CreateHostWindow(" "Tavex::DestroyHostWindow("
  "Tavex::IsWindow(" "Tavex::WindowSink" "Tavex::CLoopResults" "Tavex::Framework::")
set(found 0)
foreach(line IN LISTS lines)
  if(NOT line MATCHES "Tavex::")
    continue()
  endif()
  set(ok FALSE)
  foreach(prefix IN LISTS allowed)
    string(FIND "${line}" "${prefix}" at)
    if(NOT at EQUAL -1)
      set(ok TRUE)
    endif()
  endforeach()
  if(NOT ok)
    message(FATAL_ERROR "internal symbol exported: ${line}")
  endif()
  math(EXPR found "${found} + 1")
endforeach()
if(found LESS 12)
  message(FATAL_ERROR "the exported interface is incomplete (${found} symbols)")
endif()
