# The hardening Debian builds its own packages with (dpkg-buildflags with hardening=+all), spelled out so that any
# build of the plug-in can use it: the plug-in runs inside the database server and handles network input.
add_compile_options(-fstack-protector-strong -Wformat -Werror=format-security)
# _FORTIFY_SOURCE needs optimisation; a Debug build would only warn that it has none.
add_compile_definitions($<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64)$")
  add_compile_options(-fcf-protection)
elseif(CMAKE_SYSTEM_PROCESSOR MATCHES "^(aarch64|arm64)$")
  add_compile_options(-mbranch-protection=standard)
endif()
add_link_options(-Wl,-z,relro -Wl,-z,now)
