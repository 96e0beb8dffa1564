# Direct play in the windows: the network fields, the waiting window, the chat strip, the
# end of a network match, and host and joiner connections over real loopback sockets.
if(TARGET trilane_shell_direct)
  trilane_test(shell_direct_test
    SOURCES direct_fields_test.cpp direct_windows_test.cpp direct_connection_test.cpp
            direct_program_test.cpp ../program/program_folder.cpp
    LIBS trilane_shell_direct trilane_assets Qt6::Test)
  if(TARGET shell_direct_test)
    find_package(Qt6 REQUIRED COMPONENTS Test)
  endif()
endif()
