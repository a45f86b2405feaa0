# One static library per layer. Sources are the .cpp files of the layer's folder, so adding a
# module needs no build edit; a layer without sources yet is an interface library.
#
#   vorelia_layer(NAME vorelia_dbf DIR ${CMAKE_CURRENT_SOURCE_DIR} DEPS vorelia_data [QT])
function(vorelia_layer)
  cmake_parse_arguments(L "QT" "NAME;DIR" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${L_DIR}/*.cpp)
  file(GLOB uis CONFIGURE_DEPENDS ${L_DIR}/*.ui)
  file(GLOB qrcs CONFIGURE_DEPENDS ${L_DIR}/*.qrc)
  if(sources)
    add_library(${L_NAME} STATIC ${sources} ${uis} ${qrcs})
    target_include_directories(${L_NAME} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${L_NAME} PUBLIC ${L_DEPS})
    if(L_QT)
      set_target_properties(${L_NAME} PROPERTIES AUTOMOC ON AUTOUIC ON AUTORCC ON)
    endif()
  else()
    add_library(${L_NAME} INTERFACE)
    target_include_directories(${L_NAME} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${L_NAME} INTERFACE ${L_DEPS})
  endif()
endfunction()

# One test executable per layer from its *_test.cpp files, each case registered with CTest.
#   vorelia_tests(NAME dbf_tests DIR ... DEPS vorelia_dbf [QT])
function(vorelia_tests)
  cmake_parse_arguments(T "QT" "NAME;DIR" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${T_DIR}/*_test.cpp ${T_DIR}/*_support.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${T_NAME} ${sources})
  set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  if(T_QT)
    target_link_libraries(${T_NAME} PRIVATE ${T_DEPS} vorelia_qt_test_main GTest::gtest GTest::gmock)
  else()
    target_link_libraries(${T_NAME} PRIVATE ${T_DEPS} vorelia_test_support GTest::gtest_main GTest::gmock)
  endif()
  target_compile_definitions(${T_NAME} PRIVATE
    VORELIA_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data_files"
    VORELIA_BIN_DIR="${VORELIA_BIN_DIR}")
  if(T_QT)
    set_target_properties(${T_NAME} PROPERTIES AUTOMOC ON AUTOUIC ON)
  endif()
  gtest_discover_tests(${T_NAME}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LANG=pt_BR.UTF-8;TZ=UTC" TIMEOUT 300)
endfunction()
