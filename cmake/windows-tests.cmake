# Windows-side tests. In the cross build every test program runs under Wine through
# CMAKE_CROSSCOMPILING_EMULATOR (set only by cmake/mingw-w64.cmake); built on Windows itself they
# run as they are. They share the user's registry and desktop folder, so they run one at a time.

# Stands in for the application of a test URL scheme and file type: appends each command line it
# receives, as a UTF-8 line, to the file named by BRINDLEWORK_RECORD.
add_executable(recorder WIN32 tests/support/recorder.cpp)
target_link_options(recorder PRIVATE ${wide_entry})
target_include_directories(recorder PRIVATE src tests/support/lib)  # the handle owners

# Stands in for a DLL dropped beside the program under a system DLL's name: its DllMain leaves
# "<its file name>.ran" beside it. GNU ld exports every symbol of a DLL without a list; this one
# exports nothing, as a stranger's DLL offers none of the functions that the system looks for.
add_library(planted SHARED tests/support/planted.cpp)
set_target_properties(planted PROPERTIES PREFIX "")
target_link_options(planted PRIVATE LINKER:--exclude-all-symbols)

file(GLOB support_sources CONFIGURE_DEPENDS tests/support/lib/*.cpp)
add_library(test_support STATIC ${support_sources})
target_include_directories(test_support PUBLIC tests/support/lib)
# ws2_32: the loopback HTTP server of the fetch tests.
target_link_libraries(test_support PUBLIC brindlework_win32 GTest::gtest ws2_32)

file(GLOB win32_test_sources CONFIGURE_DEPENDS tests/win32/*.cpp)
# The program's run (src/app) without its entry point, and the core's fakes, so that a test can
# make start-up fail; the program's resources, so that windows built in a test have its icon.
add_executable(win32_tests ${win32_test_sources} src/app/Program.cpp res/Brindlework.rc)
target_link_libraries(win32_tests PRIVATE test_support oleacc GTest::gtest_main)
target_include_directories(win32_tests PRIVATE res ${generated} tests)
add_dependencies(win32_tests Brindlework)  # reads the exe's resources
add_test(NAME win32_tests COMMAND win32_tests)
# A picture that the tests make an icon of, beside the test programs, and an icon file of three
# frames: 16 pixels red, 48 green, 48 blue (PNGs, made with ImageMagick and icotool -c -r).
configure_file(tests/win32/data/picture-3x2.png ${CMAKE_BINARY_DIR}/picture-3x2.png COPYONLY)
configure_file(tests/win32/data/three-frames.ico ${CMAKE_BINARY_DIR}/three-frames.ico COPYONLY)

# The end-to-end driver: starts Brindlework.exe and works its windows from outside, as a user.
file(GLOB e2e_sources CONFIGURE_DEPENDS tests/e2e/*.cpp)
add_executable(e2e_tests ${e2e_sources})
target_link_libraries(e2e_tests PRIVATE test_support GTest::gtest_main)
target_include_directories(e2e_tests PRIVATE ${generated})
add_dependencies(e2e_tests Brindlework recorder planted)
add_test(NAME e2e_tests COMMAND e2e_tests)

# The tests below are bash scripts around Linux tools (icoutils, wixl, msitools, osslsigncode)
# and Wine: registered only on a Unix host. WIN32 is true in the cross build too, so it cannot
# tell the hosts apart.
if(CMAKE_HOST_UNIX)
  # The icon, version record and manifest in the exe, as icoutils read them: a Linux script, so not
  # under Wine.
  add_test(NAME resources COMMAND bash ${CMAKE_SOURCE_DIR}/tests/resources/check_resources.sh
           $<TARGET_FILE:Brindlework>)

  # The packages as a Windows user meets them: signed, installed, upgraded, refused a downgrade and
  # removed, under Wine in a prefix of their own (so their changes to the user's registry and Start
  # menu reach no other test). pin_through pins an item through the installed program.
  add_executable(pin_through tests/package/pin_through.cpp)
  target_link_libraries(pin_through PRIVATE test_support)
  target_link_options(pin_through PRIVATE ${wide_entry})
  add_test(NAME package COMMAND bash ${CMAKE_SOURCE_DIR}/tests/package/check_package.sh
           $<TARGET_FILE:Brindlework> $<TARGET_FILE:recorder> $<TARGET_FILE:pin_through>
           ${PROJECT_VERSION})
  # The exe built again from a copy of the tree in other folders: the same bytes. A Linux script.
  add_test(NAME reproducible COMMAND bash ${CMAKE_SOURCE_DIR}/tests/package/check_reproducible.sh
           $<TARGET_FILE:Brindlework> ${CMAKE_BUILD_TYPE} ${CMAKE_TOOLCHAIN_FILE})
endif()

# Benchmark programs: bare Win32 baselines that the program's figures are set against, and the
# driver that times them (scripts/bench).
file(GLOB bench_sources CONFIGURE_DEPENDS bench/*.cpp)
foreach(source ${bench_sources})
  get_filename_component(name ${source} NAME_WE)
  add_executable(${name} WIN32 ${source})
  # A baseline that looks like the program carries a resource script, for the same manifest.
  get_filename_component(folder ${source} DIRECTORY)
  if(EXISTS ${folder}/${name}.rc)
    target_sources(${name} PRIVATE ${folder}/${name}.rc)
    target_include_directories(${name} PRIVATE ${generated})
  endif()
  target_link_libraries(${name} PRIVATE shell32 ole32 uuid user32 gdi32)
  target_link_options(${name} PRIVATE ${wide_entry} ${stripped})
endforeach()
# The timer owns its handles as the program does; the bare baselines stay bare.
target_include_directories(bench_timer PRIVATE src)
