# Sources of a library are every .cpp below its folder, so that adding a class
# needs no edit here. Includes are rooted at the repository: "engine/FileSystem/FileSystem.h".
function(runtime_sources out dir)
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS "${dir}/*.cpp")
  set(${out} ${srcs} PARENT_SCOPE)
endfunction()

# One test program per test source file; its label names the library. Files
# under a "gl" sub-folder need OpenGL and are labelled "<lib>-gl", which the
# sanitizer build leaves out.
function(runtime_tests lib)
  set(options)
  set(multi LIBS)
  cmake_parse_arguments(RT "${options}" "" "${multi}" ${ARGN})
  file(GLOB_RECURSE tests CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*Test.cpp")
  foreach(src ${tests})
    get_filename_component(name "${src}" NAME_WE)
    set(exe "${lib}_${name}")
    add_executable(${exe} "${src}")
    target_link_libraries(${exe} PRIVATE ${RT_LIBS} testsupport GTest::gtest GTest::gmock GTest::gtest_main)
    # One label per test: test discovery cannot carry a list. "<lib>-gl" still
    # matches both `ctest -L <lib>` and `ctest -LE gl`; "<lib>-threads" matches
    # `ctest -L <lib>` and `ctest -L threads`.
    set(label ${lib})
    if(src MATCHES "/gl/")
      set(label ${lib}-gl)
    elseif(name MATCHES "ThreadsTest$")
      # Tests of code shared between threads: the ThreadSanitizer run picks them up
      # in every library.
      set(label ${lib}-threads)
    endif()
    gtest_discover_tests(${exe}
      PROPERTIES LABELS "${label}"
      DISCOVERY_TIMEOUT 60
      WORKING_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}")
  endforeach()
endfunction()

# A library of the project built from every .cpp below `dir`. Until a folder
# holds sources the target is built from a generated empty unit, so targets of
# the layout always exist.
function(runtime_library name kind dir)
  runtime_sources(srcs "${dir}")
  if(NOT srcs)
    set(stub "${CMAKE_CURRENT_BINARY_DIR}/${name}_empty.cpp")
    if(NOT EXISTS "${stub}")
      file(WRITE "${stub}" "namespace { [[maybe_unused]] int emptyUnit = 0; }\n")
    endif()
    set(srcs "${stub}")
  endif()
  add_library(${name} ${kind} ${srcs})
  target_include_directories(${name} PUBLIC "${PROJECT_SOURCE_DIR}")
endfunction()
