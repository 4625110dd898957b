#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "expr/FunctionText.h"
#include "expr/tFunction.h"
#include "expr/tVariableEnv.h"

// Within a scope a name has one type; typed lookups go through the saved
// scopes, while containsVal and getType see the current one only. The
// script scopes.blam runs scopes from end to end.
TEST(tVariableEnvTest, OneTypePerNameAndScopes) {
  tVariableEnv env;
  env.extend("a", 0.5);
  env.extend("a", "text");  // another type: ignored
  env.extend("a", std::make_shared<tFunction>());
  env.extend("a", 1.0);  // the same type replaces
  env.extend("t", "literal");  // a string, not a boolean
  env.extend("flag", true);
  env.revertScope();  // nothing to close: no change
  EXPECT_EQ("", env.getStringVal("a"));
  EXPECT_EQ(nullptr, env.getFunctionVal("a"));
  EXPECT_EQ(1, env.getType("t"));
  EXPECT_EQ(3, env.getType("flag"));

  env.extendScope();
  EXPECT_FALSE(env.containsVal("a"));
  EXPECT_EQ(4, env.getType("a"));
  env.extend("a", std::string("deep"));  // another type in another scope: both are reachable
  env.extend("flag", false);
  env.extend("c", 3.0);
  EXPECT_EQ(1.0, env.getDoubleVal("a"));
  EXPECT_EQ("deep", env.getStringVal("a"));
  EXPECT_FALSE(env.getBoolVal("flag"));
  EXPECT_TRUE(env.hasDoubleVal("a"));  // in the outer scope
  EXPECT_FALSE(env.hasDoubleVal("t") || env.hasDoubleVal("none"));
  env.clear();  // empties the inner scope only
  EXPECT_EQ(0.0, env.getDoubleVal("c"));
  EXPECT_TRUE(env.getBoolVal("flag"));
  env.revertScope();
  env.revertScope();  // one more than were opened
  EXPECT_EQ(0, env.getType("a"));
  EXPECT_EQ(1.0, env.getDoubleVal("a"));
  env.clear();
  EXPECT_EQ(0.0, env.getDoubleVal("a"));
}

// The environment shares the functions bound in it: one no one else holds goes
// when its scope closes, is cleared or the environment ends, while whoever
// made one can bind it again later.
TEST(tVariableEnvTest, FunctionsOutliveTheScopesThatHeldThem) {
  std::shared_ptr<tFunction> f = functionFromText("f1 = x + 1 f2 = y");
  tVariableEnv env;
  for (int round = 0; round < 2; ++round) {
    env.extendScope();
    env.extend("g", f);
    env.extendScope();
    EXPECT_EQ(f.get(), env.getFunctionVal("g"));  // through the saved scope
    env.revertScope();
    env.revertScope();
    EXPECT_EQ(nullptr, env.getFunctionVal("g"));
    EXPECT_EQ(1, f.use_count());
  }
  EXPECT_EQ(tVector2(3, 5), f->value(tVector2(2, 5)));

  auto bindOnly = [](tVariableEnv& scope) {
    std::shared_ptr<tFunction> owned = functionFromText("f1 = y");
    scope.extend("h", owned);
    return std::weak_ptr<tFunction>(owned);
  };
  env.extendScope();
  std::weak_ptr<tFunction> inScope = bindOnly(env), cleared, atEnd;
  EXPECT_FALSE(inScope.expired());
  env.revertScope();
  EXPECT_TRUE(inScope.expired());
  cleared = bindOnly(env);
  EXPECT_FALSE(cleared.expired());
  env.clear();
  EXPECT_TRUE(cleared.expired());
  {
    tVariableEnv scoped;
    atEnd = bindOnly(scoped);
    // However many scopes are open, they go without recursion.
    for (int i = 0; i < 200000; ++i) scoped.extendScope();
    EXPECT_FALSE(atEnd.expired());
  }
  EXPECT_TRUE(atEnd.expired());
}
