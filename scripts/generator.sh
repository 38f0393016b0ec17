#!/usr/bin/env bash
# Sourced by the build scripts: new build folders are made for Ninja where it is installed,
# unless CMAKE_GENERATOR says otherwise. A build folder keeps the generator it was made with.
if [[ -z "${CMAKE_GENERATOR:-}" ]] && command -v ninja > /dev/null; then
    export CMAKE_GENERATOR=Ninja
fi
