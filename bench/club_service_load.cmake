# The club service's load measurement (needs the service program of the server room).
if(TARGET trilane-club-service)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(HTTPLIB REQUIRED IMPORTED_TARGET cpp-httplib)
  find_package(Threads REQUIRED)
  add_executable(club_service_load club_service_load.cpp)
  target_link_libraries(club_service_load PRIVATE PkgConfig::HTTPLIB Threads::Threads)
  target_compile_definitions(club_service_load PRIVATE
    TRILANE_PROGRAM_DIR="${TRILANE_PROGRAM_DIR}")
  add_dependencies(club_service_load trilane-club-service)
endif()
