# The Windows programs that only the Wine tests run, built by the mingw presets.
# Included from platform/win32/CMakeLists.txt, in its scope: they use its
# ztrm_windows_program(), ztrm_plain_windows_program() and the service's
# resource script.

# Self-check of the backend under Wine (tests/e2e/win32_backend_check.sh). It
# carries the service's resources, so it reads the version the service has.
add_executable(win32_backend_check ${CMAKE_CURRENT_LIST_DIR}/win32_backend_check.cc ${ZTRM_SERVICE_RC})
ztrm_windows_program(win32_backend_check)

# Its stand-in vendor module.
add_library(win32_backend_check_vendor SHARED ${CMAKE_CURRENT_LIST_DIR}/win32_backend_check_vendor.cc)
set_target_properties(win32_backend_check_vendor PROPERTIES
  PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
target_include_directories(win32_backend_check_vendor PRIVATE ${CMAKE_SOURCE_DIR})
if(MINGW)
  # Undecorated stdcall export names (no @N), as vendor modules export them.
  target_link_options(win32_backend_check_vendor PRIVATE
    -static -static-libgcc -static-libstdc++ -Wl,--kill-at)
endif()

# profile_probe.exe: what GetPrivateProfileStringW and WritePrivateProfileStringW
# answer for the corpus in tests/profile_corpus, for the comparison with the
# native profile reader (tests/e2e/profile_compare.sh). A plain Win32 program:
# it shares only the header-only field format with the native side.
add_executable(profile_probe ${CMAKE_CURRENT_LIST_DIR}/profile_probe.cc)
target_include_directories(profile_probe PRIVATE ${CMAKE_SOURCE_DIR})
ztrm_plain_windows_program(profile_probe)
