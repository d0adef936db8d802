# Builds each planted case of planted_edit.cpp (targets edit_door_planted_<n>) and expects the
# allowed case to build and every other one to fail: on the private member it calls, or on the
# const of the repository object it writes (however the write is spelled).
# Run as: cmake -DBUILD_DIR=<build tree> -DCASES="0;1;..." -P check.cmake
# The reasons that count: access, or const (a call on a const object, a const pointer converted
# to a writable one, a std::swap or std::invoke that finds no overload for a const argument).
set(refusal "is private within this context|is a private member|discards qualifiers")
string(APPEND refusal "|invalid conversion from [^ ]*const |to [^ ]*const SDR_")
string(APPEND refusal "|no matching function for call to [^ ]*(swap\\(const |invoke\\([^\n]*, const SDR_)")
set(failures 0)
foreach(case IN LISTS CASES)
  execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} --target edit_door_planted_${case}
                  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(case EQUAL 0)
    if(NOT status EQUAL 0)
      message("FAILED case 0 (allowed edit) does not build:\n${output}")
      math(EXPR failures "${failures} + 1")
    endif()
  elseif(status EQUAL 0 OR NOT output MATCHES "${refusal}")
    message("FAILED case ${case} builds, or fails for another reason than access:\n${output}")
    math(EXPR failures "${failures} + 1")
  endif()
endforeach()
if(failures GREATER 0)
  message(FATAL_ERROR "${failures} planted edit door case(s) not as expected")
endif()
message("edit door: the allowed edit builds, every planted case is refused by the compiler")
