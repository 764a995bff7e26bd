# kvrn_module(<target> <link libraries...>)
# A static library of every .cpp in the calling folder. Files are globbed so a new source file
# is picked up without touching this folder's list; a folder with no sources yet is an
# interface library, so the tree configures at every stage.
function(kvrn_module target)
  file(GLOB _src CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  file(GLOB _hdr CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  if(_src)
    add_library(${target} STATIC ${_src} ${_hdr})
    target_link_libraries(${target} PUBLIC ${ARGN})
  else()
    add_library(${target} INTERFACE)
    target_link_libraries(${target} INTERFACE ${ARGN})
  endif()
endfunction()

# kvrn_tests(<link libraries...>)
# One test program per test_*.cpp in the calling folder, each registered with CTest.
# GoogleTest files use gtest_main unless they define their own main (Qt Test files do).
function(kvrn_tests)
  file(GLOB _tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/test_*.cpp)
  foreach(_t ${_tests})
    get_filename_component(_name ${_t} NAME_WE)
    file(RELATIVE_PATH _rel ${CMAKE_SOURCE_DIR}/tests ${CMAKE_CURRENT_SOURCE_DIR})
    string(REPLACE "/" "_" _prefix ${_rel})
    set(_exe ${_prefix}_${_name})
    add_executable(${_exe} ${_t})
    set_target_properties(${_exe} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests-bin)
    file(READ ${_t} _body)
    if(_body MATCHES "QTEST_MAIN|QTEST_GUILESS_MAIN|int main\\(")
      target_link_libraries(${_exe} PRIVATE ${ARGN} GTest::gtest Qt6::Test)
    else()
      target_link_libraries(${_exe} PRIVATE ${ARGN} GTest::gtest GTest::gtest_main Qt6::Test)
    endif()
    target_include_directories(${_exe} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
    add_test(NAME ${_exe} COMMAND ${_exe} WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests-bin)
    set(_env "QT_QPA_PLATFORM=offscreen;KVRN_BIN_DIR=${KVRN_BIN_DIR};KVRN_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
    if(KVRN_SANITIZERS)
      # Timing and memory figures mean nothing here: tests skip those assertions.
      # intercept_tls_get_addr=0 avoids a crash of this system's leak checker at exit.
      list(APPEND _env "KVRN_SANITIZED=1"
           "ASAN_OPTIONS=detect_leaks=1:intercept_tls_get_addr=0:abort_on_error=1"
           "LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/support/lsan.supp:print_suppressions=0"
           "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
    endif()
    set_tests_properties(${_exe} PROPERTIES ENVIRONMENT "${_env}" TIMEOUT 600)
  endforeach()
endfunction()
