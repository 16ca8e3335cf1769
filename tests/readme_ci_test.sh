#!/usr/bin/env bash
# The README's CI recipes as printed: its GitHub Actions step and GitLab CI job, taken from the
# README itself, run on a bad and a clean board file with the npm package of the node forms in place
# of the published one; its pre-commit entry in a scratch git repository against this project,
# where a bad board file fails the commit and a clean one passes (and `pre-commit try-repo` says the
# same).
# Usage: readme_ci_test.sh <README.md> <morvcfg-<version>.tgz> <folder of the native morvcfg-check>
set -euo pipefail
# shellcheck source=tests/readme_blocks.sh
. "$(dirname "$0")/readme_blocks.sh" "$@"

mkdir -p "$work/repo/boards"
cd "$work/repo"
printf 'MORV_IFCFG(10.1.2.3, 255.255.0.0);\r\n  MORV_DNS(10.1.0.9);\r\n' > bad.cfg
printf 'MORV_IFCFG(10.1.2.3, 255.255.0.0);\r\nMORV_DNS(10.1.0.9);\r\n' > good.cfg

# The published package's name and version, as the README writes it, stand for the tarball.
for recipe in .github/workflows/morvcfg.yml .gitlab-ci.yml; do
  block "# $recipe" > "$work/recipe.yml"
  [ -s "$work/recipe.yml" ] || fail "no $recipe block in $readme"
  commands < "$work/recipe.yml" | sed "s|morvcfg@[0-9.]*|$tarball|" > "$work/commands.sh"
  grep -q "morvcfg-check --format=" "$work/commands.sh" || fail "$recipe runs no morvcfg-check"
  for board in bad good; do
    rm -f boards/*.cfg gl-code-quality-report.json
    cp "$board.cfg" boards/
    : > "$work/summary.md"
    status=0
    GITHUB_STEP_SUMMARY="$work/summary.md" bash -e "$work/commands.sh" > "$work/log" 2>&1 || status=$?
    expected=$([ $board = bad ] && echo 1 || echo 0)
    [ "$status" = "$expected" ] || fail "$recipe on the $board board file: status $status, not $expected"
    if [ $recipe = .gitlab-ci.yml ]; then
      report=$(/usr/bin/python3 -c 'import sys, yaml; print(yaml.safe_load(open(sys.argv[1]))["morvcfg-check"]["artifacts"]["reports"]["codequality"])' "$work/recipe.yml")
      issues=$(/usr/bin/python3 -c 'import json, sys; print(len(json.load(open(sys.argv[1]))))' "$report")
      [ "$issues" = "$([ $board = bad ] && echo 2 || echo 0)" ] || fail "$recipe: $report holds $issues issues"
    elif [ $board = bad ]; then
      grep -q '^::warning file=boards/bad.cfg,line=2,col=3,' "$work/log" || fail "$recipe: no annotation"
      grep -q '^| boards/bad.cfg | 2:3 | warning | directive MORV\\_DNS is indented' "$work/summary.md" ||
        fail "$recipe: no row in the job summary"
    fi
  done
done
echo "the README's GitHub step and GitLab job run as printed with the npm package"

# pre-commit: the README's entry, against this project as it is committed now.
rm -f boards/*.cfg
git init -q . && git config user.email ci@example.org && git config user.name CI
block "# .pre-commit-config.yaml" | sed -e "s|repo: [^ ]*|repo: $project|" -e "s|rev: .*|rev: $(git -C "$project" rev-parse HEAD)|" \
  > .pre-commit-config.yaml
grep -q "id: morvcfg-check" .pre-commit-config.yaml || fail "no pre-commit block in $readme"
git add .pre-commit-config.yaml && git commit -q -m config
export PATH="$native:$PATH" PRE_COMMIT_HOME="$work/pre-commit-home"
pre-commit install > "$work/log" 2>&1 || fail "pre-commit install"
cp bad.cfg boards/bad.cfg && git add boards/bad.cfg
git commit -q -m bad > "$work/log" 2>&1 && fail "a bad board file was committed"
grep -q "directive MORV_DNS is indented" "$work/log" || fail "the hook did not say why"
git reset -q && rm boards/bad.cfg
cp good.cfg boards/good.cfg && git add boards/good.cfg
git commit -q -m good > "$work/log" 2>&1 || fail "a clean board file was not committed"
cp bad.cfg boards/bad.cfg
pre-commit try-repo "$project" morvcfg-check --files boards/bad.cfg > "$work/log" 2>&1 && fail "try-repo passed a bad file"
pre-commit try-repo "$project" morvcfg-check --files boards/good.cfg > "$work/log" 2>&1 || fail "try-repo failed a clean file"
echo "the README's pre-commit entry blocks a bad board file and passes a clean one; so does try-repo"
