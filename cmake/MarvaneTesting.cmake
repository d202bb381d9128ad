# marvane_add_test(NAME name SOURCES a.cpp ... LIBS lib ... [LABELS label ...])
# Unit tests live beside the code they test; each module registers its own.
if(MARVANE_TESTS)
  enable_testing()
  if(CMAKE_CROSSCOMPILING)
    # Debian ships the GoogleTest sources; build them with the cross compiler.
    set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
    if(NOT TARGET GTest::gtest)  # newer GoogleTest sources define these themselves
      add_library(GTest::gtest ALIAS gtest)
      add_library(GTest::gtest_main ALIAS gtest_main)
    endif()
    # The tests run under Wine, in a prefix of the build's own.
    if(WIN32 AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
      set(CMAKE_CROSSCOMPILING_EMULATOR
          ${PROJECT_SOURCE_DIR}/tests/wine/wine_run.sh ${CMAKE_BINARY_DIR}/wine)
    endif()
  else()
    find_package(GTest REQUIRED)
  endif()
  include(GoogleTest)
endif()

function(marvane_add_test)
  if(NOT MARVANE_TESTS)
    return()
  endif()
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} marvane_test_support GTest::gtest)
  if(CMAKE_CROSSCOMPILING)
    # The test runner executes the .exe under Wine; discovery would need it at build time.
    add_test(NAME ${T_NAME} COMMAND ${T_NAME})
    if(T_LABELS)
      set_tests_properties(${T_NAME} PROPERTIES LABELS "${T_LABELS}")
    endif()
  elseif(T_LABELS)
    gtest_discover_tests(${T_NAME} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS "${T_LABELS}")
  else()
    gtest_discover_tests(${T_NAME} DISCOVERY_TIMEOUT 60)
  endif()
endfunction()

# marvane_gbk_texts(TARGET INPUT): turns INPUT (UTF-8 `kName = text` lines) into a header of GBK
# constants, included as "<dir of INPUT>/<name>.h", and makes TARGET depend on it.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
function(marvane_gbk_texts target input namespace)
  file(RELATIVE_PATH rel ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/${input})
  string(REGEX REPLACE "\\.txt$" ".h" rel_h ${rel})
  set(out ${PROJECT_BINARY_DIR}/gen/${rel_h})
  get_filename_component(out_dir ${out} DIRECTORY)
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${out_dir}
    COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/tools/gbk_texts.py
            ${CMAKE_CURRENT_SOURCE_DIR}/${input} ${out} ${namespace}
    DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${input} ${PROJECT_SOURCE_DIR}/tools/gbk_texts.py
    VERBATIM)
  string(MAKE_C_IDENTIFIER ${rel_h} stem)
  add_custom_target(${stem}_gen DEPENDS ${out})
  add_dependencies(${target} ${stem}_gen)
  target_include_directories(${target} PUBLIC ${PROJECT_BINARY_DIR}/gen)
endfunction()
