#!/usr/bin/env bash
# run-tests.sh PYTHON PACKAGE_DIR: installs the package from a copy of its folder
# (pip builds in place) into a virtual environment here, then runs its tests
# with that environment's interpreter. Offline: nothing is fetched.
set -euo pipefail
python=$1 package=$2
rm -rf venv package
cp -r "$package" package
rm -rf package/build package/src/*.egg-info
# Debian's pip, setuptools and pytest come through the system site packages
# (creating the environment's own pip would take most of this test's time).
"$python" -m venv --system-site-packages --without-pip venv
venv/bin/python -m pip install --quiet --no-index --no-build-isolation --disable-pip-version-check ./package
# The tests import the installed package, never the folder's copy.
cd package/tests
exec ../../venv/bin/python -m pytest -q -p no:cacheprovider -o console_output_style=classic .
