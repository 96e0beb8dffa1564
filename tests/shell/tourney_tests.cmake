# The online tournament in the windows: the lobby's decisions, and the lobby and a seat's
# club game against the reference club service with three headless seats of trilane-cli.
if(TARGET trilane_shell_tourney)
  find_package(Qt6 REQUIRED COMPONENTS Test)
  trilane_test(shell_tourney_test
    SOURCES tourney_lobby_test.cpp tourney_program_test.cpp ../program/program_folder.cpp
    LIBS trilane_shell_tourney trilane_assets Qt6::Test)
  if(TARGET shell_tourney_test AND TARGET trilane-club-service AND TARGET trilane-cli)
    add_dependencies(shell_tourney_test trilane-club-service trilane-cli)
    target_compile_definitions(shell_tourney_test PRIVATE TRILANE_CLUB_SERVICE_BUILT
      TRILANE_CLI="$<TARGET_FILE:trilane-cli>")
  endif()
endif()
