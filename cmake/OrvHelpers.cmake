# Every library compiles its sources eight to a unit: the Qt code the sources share is compiled once
# a unit instead of once a file, which makes the libraries' build several times shorter. A source whose
# file-local names clash with another's is listed in its folder as compiled alone.
option(ORV_UNITY_BUILD "Compile each library's sources in batches" ON)
function(orv_compiled_alone)
  set_source_files_properties(${ARGN} PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
endfunction()

# One static library per source folder; every .cpp/.h below the folder is part of it.
function(orv_library name)
  cmake_parse_arguments(A "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h ${CMAKE_CURRENT_SOURCE_DIR}/*.c)
  list(FILTER srcs EXCLUDE REGEX ".*/CMakeFiles/.*")
  set(cpp ${srcs})
  list(FILTER cpp INCLUDE REGEX "\\.(cpp|c)$")
  if(cpp)
    add_library(${name} STATIC ${srcs})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${A_DEPS})
    orv_warnings(${name})
    if(ORV_UNITY_BUILD)
      set_target_properties(${name} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 8)
    endif()
  else()
    # A folder whose subsystem is not built yet.
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${A_DEPS})
  endif()
endfunction()

function(orv_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
endfunction()

# Limits that catch a hang, not slowness: the suite runs under the sanitizers, on machines of two cores.
set(ORV_TEST_TIMEOUT 900 CACHE STRING "Per-test CTest timeout in seconds")

# A QtTest executable run headless. DB tests run once per backend.
function(orv_test name)
  cmake_parse_arguments(A "DB" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE orv_testsupport ${A_LIBS} Qt6::Test)
  orv_warnings(${name})
  set(env "QT_QPA_PLATFORM=offscreen;QTEST_FUNCTION_TIMEOUT=300000;LC_ALL=C.UTF-8;QT_QPA_OFFSCREEN_NO_GLX=1")
  if(A_DB)
    target_link_libraries(${name} PRIVATE orv_testdb)
    add_test(NAME ${name}_sqlite COMMAND ${name})
    set_tests_properties(${name}_sqlite PROPERTIES TIMEOUT ${ORV_TEST_TIMEOUT}
      ENVIRONMENT "${env};ORV_TEST_BACKEND=sqlite" LABELS "sqlite")
    add_test(NAME ${name}_pg COMMAND ${name})
    set_tests_properties(${name}_pg PROPERTIES TIMEOUT ${ORV_TEST_TIMEOUT}
      ENVIRONMENT "${env};ORV_TEST_BACKEND=pg" LABELS "pg" SKIP_RETURN_CODE 77)
  else()
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES TIMEOUT ${ORV_TEST_TIMEOUT}
      ENVIRONMENT "${env}" LABELS "plain")
  endif()
endfunction()

# Every tst_*.cpp in the calling folder becomes a test executable linking LIBS;
# files named tst_db_*.cpp run once on SQLite and once on PostgreSQL.
# Extra sources for one test: tst_name_*.cpp helpers are not picked up; list them in EXTRA_<name>.
function(orv_tests_here)
  cmake_parse_arguments(A "" "" "LIBS" ${ARGN})
  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tst_*.cpp)
  file(RELATIVE_PATH rel ${PROJECT_SOURCE_DIR}/tests ${CMAKE_CURRENT_SOURCE_DIR})
  string(REPLACE "/" "_" prefix "${rel}")
  foreach(t ${tests})
    get_filename_component(base ${t} NAME_WE)
    set(name "${prefix}_${base}")
    if(base MATCHES "^tst_db_")
      orv_test(${name} DB SOURCES ${t} ${EXTRA_${base}} LIBS ${A_LIBS})
    else()
      orv_test(${name} SOURCES ${t} ${EXTRA_${base}} LIBS ${A_LIBS})
    endif()
  endforeach()
endfunction()
