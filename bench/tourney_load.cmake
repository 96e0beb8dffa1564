# The tournament tables' load run (needs the service program and trilane-cli with its
# tournament seat).
if(TARGET trilane-club-service AND TARGET trilane-cli AND TARGET trilane_club)
  find_package(CURL REQUIRED)
  add_executable(tourney_load tourney_load.cpp)
  target_link_libraries(tourney_load PRIVATE CURL::libcurl)
  target_compile_definitions(tourney_load PRIVATE
    TRILANE_PROGRAM_DIR="${TRILANE_PROGRAM_DIR}" TRILANE_CLI="$<TARGET_FILE:trilane-cli>")
  add_dependencies(tourney_load trilane-club-service trilane-cli)
endif()
