# One static library per layer. A layer's sources are all .cpp files below
# its folder; a layer that has none yet is an interface library so that the
# layers above can already name it.
function(zerbin_layer name)
  cmake_parse_arguments(L "QT" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
  list(FILTER srcs EXCLUDE REGEX "/main\\.cpp$")
  if(srcs)
    add_library(zerbin_${name} STATIC ${srcs})
    target_include_directories(zerbin_${name} PUBLIC "${PROJECT_SOURCE_DIR}/src")
    target_link_libraries(zerbin_${name} PUBLIC ${L_DEPS})
    if(L_QT)
      set_target_properties(zerbin_${name} PROPERTIES AUTOMOC ON)
    endif()
  else()
    add_library(zerbin_${name} INTERFACE)
    target_include_directories(zerbin_${name} INTERFACE "${PROJECT_SOURCE_DIR}/src")
    target_link_libraries(zerbin_${name} INTERFACE ${L_DEPS})
  endif()
endfunction()

# A test program of one layer: every .cpp below the folder, run by CTest
# test by test.
function(zerbin_test_suite name)
  cmake_parse_arguments(T "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
  if(NOT srcs)
    return()
  endif()
  add_executable(${name}_tests ${srcs})
  target_include_directories(${name}_tests PRIVATE "${PROJECT_SOURCE_DIR}/tests")
  target_link_libraries(${name}_tests PRIVATE ${T_DEPS} zerbin_test_support GTest::gtest GTest::gmock)
  gtest_discover_tests(${name}_tests
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ZERBIN_NONINTERACTIVE=1"
               TIMEOUT 120)
endfunction()
